# One platform's share of a folder's sources. A file named *Win32.cpp is the Windows form of a
# service, a file named *Posix.cpp its Linux form; the Qt-based files (the Linux GUI thread,
# message boxes and windows) stand for Linux alone, as there is no Qt for MinGW here; their
# Windows forms are the *Win32.cpp files beside them.
set(TRALVONIC_QT_SOURCES_REGEX
  "/src/core/(GuiThread|NativePlatform|NativePlatformDesktop)\\.cpp$|/src/Window/(Qt[^/]*|[^/]*View|WindowStyle)\\.cpp$")

# tralvonic_platform_sources(LIST): keeps in LIST only what this platform builds.
function(tralvonic_platform_sources list)
  set(sources ${${list}})
  if(WIN32)
    list(FILTER sources EXCLUDE REGEX "Posix\\.cpp$")
    list(FILTER sources EXCLUDE REGEX "${TRALVONIC_QT_SOURCES_REGEX}")
  else()
    list(FILTER sources EXCLUDE REGEX "Win32\\.cpp$")
  endif()
  set(${list} ${sources} PARENT_SCOPE)
endfunction()
