#pragma once
// The kernels built twice, for AVX2 (x86-64-v3) and for the x86-64 baseline, with the loader
// choosing one at run time through an ifunc. PE has no ifunc, so the Windows library builds the
// baseline kernel alone: the same code the Linux library runs on a processor without AVX2.

#ifdef TRALVONIC_VOICE_NO_CLONES
#define VOICE_KERNEL
#else
#define VOICE_KERNEL [[gnu::target_clones("arch=x86-64-v3", "default")]]
#endif
