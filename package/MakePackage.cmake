# Stages and zips the TeamSpeak plugin package. Run with cmake -P at build time, so that the
# package holds whatever the build placed in the Tralvonic folder's default/ (the click
# sounds) at that moment.
# Inputs: PACKAGE_FILE, STAGE_DIR, INI_FILE, PLUGIN_LIBRARY, VOICE_LIBRARY, PLUGIN_FILE and
# VOICE_FILE (their names in the package), SOUNDS_DIR, STRIP.
file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}/plugins/Tralvonic/default")
file(COPY_FILE "${INI_FILE}" "${STAGE_DIR}/package.ini")
file(COPY_FILE "${PLUGIN_LIBRARY}" "${STAGE_DIR}/plugins/${PLUGIN_FILE}")
file(COPY_FILE "${VOICE_LIBRARY}" "${STAGE_DIR}/plugins/Tralvonic/${VOICE_FILE}")
if(IS_DIRECTORY "${SOUNDS_DIR}")
  file(GLOB sounds "${SOUNDS_DIR}/*.wav")
  if(sounds)
    file(COPY ${sounds} DESTINATION "${STAGE_DIR}/plugins/Tralvonic/default")
  endif()
endif()
# Users get the libraries without their debug sections: a tenth of the size.
if(STRIP)
  foreach(library plugins/${PLUGIN_FILE} plugins/Tralvonic/${VOICE_FILE})
    execute_process(COMMAND "${STRIP}" --strip-debug "${STAGE_DIR}/${library}" COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
endif()
file(REMOVE "${PACKAGE_FILE}")
# libarchive's zip writer deflates each entry, as TeamSpeak's package installer expects.
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${PACKAGE_FILE}" --format=zip -- package.ini plugins
  WORKING_DIRECTORY "${STAGE_DIR}" COMMAND_ERROR_IS_FATAL ANY)
