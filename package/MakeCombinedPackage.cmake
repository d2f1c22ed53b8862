# Joins the packages of single platforms into one .ts3_plugin for all of them: the plugins/
# folders of every input side by side (each platform's two libraries, the sounds once) and a
# package.ini that lists every platform. Run with cmake -P at build time.
# Inputs: PACKAGE_FILE, STAGE_DIR, INI_FILE, PACKAGES (the single-platform packages, ';'-separated).
file(REMOVE_RECURSE "${STAGE_DIR}")
file(MAKE_DIRECTORY "${STAGE_DIR}")
foreach(package IN LISTS PACKAGES)
  file(ARCHIVE_EXTRACT INPUT "${package}" DESTINATION "${STAGE_DIR}" PATTERNS "plugins/*")
endforeach()
file(COPY_FILE "${INI_FILE}" "${STAGE_DIR}/package.ini")
file(REMOVE "${PACKAGE_FILE}")
execute_process(COMMAND "${CMAKE_COMMAND}" -E tar cf "${PACKAGE_FILE}" --format=zip -- package.ini plugins
  WORKING_DIRECTORY "${STAGE_DIR}" COMMAND_ERROR_IS_FATAL ANY)
