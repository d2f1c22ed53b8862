// tralvonic_click_sounds <folder>: writes the six radio click sounds as .wav files into
// <folder>, creating it. Run by the build; exits non-zero when a file cannot be written.

#include "ClickSynthesis.h"

#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
        return 2;
    }
    try {
        const std::filesystem::path folder(argv[1]);
        std::filesystem::create_directories(folder);
        for (const auto& click : Tralvonic::Tools::SynthesizeMicClicks()) {
            const auto bytes = Tralvonic::Tools::EncodeWave(click.Samples, Tralvonic::Tools::ClickSampleRate);
            const auto path = folder / (click.Name + ".wav");
            std::ofstream file(path, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
            if (!file) {
                std::fprintf(stderr, "could not write %s\n", path.string().c_str());
                return 1;
            }
        }
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
