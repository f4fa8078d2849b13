# The player's download: `cpack` in the build folder (or the `package` target) makes
# kipster-<version>-linux-x86_64.tar.gz holding one folder kipster-<version>/, the program folder as
# shipped: the stripped executable, the hand-written content (with kipster.ini and the desktop entry
# template), freshly generated content (with the icon) and install-desktop-entry.sh.
#
# The rules name what ships instead of copying build/bin, so that nothing a developer's build or run
# leaves there can slip in: benchmarks, log.html, areas saved or recovered by the editor, exported
# maps. The generator writes its content into the package afresh; it takes a few seconds.

set(KIPSTER_PACKAGE_FOLDER kipster-${PROJECT_VERSION})

install(TARGETS kipster RUNTIME DESTINATION ${KIPSTER_PACKAGE_FOLDER})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/content/ DESTINATION ${KIPSTER_PACKAGE_FOLDER})
install(PROGRAMS ${CMAKE_SOURCE_DIR}/scripts/install-desktop-entry.sh DESTINATION ${KIPSTER_PACKAGE_FOLDER})
# Leak checking is off for the same reason as in the build's own run of the generator.
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${KIPSTER_PACKAGE_FOLDER}\")
  message(STATUS \"Generating content into \${folder}\")
  execute_process(COMMAND \"${CMAKE_COMMAND}\" -E env ASAN_OPTIONS=detect_leaks=0
                          \"$<TARGET_FILE:kipster_contentgen>\" \"\${folder}\"
                  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR \"The content generator failed (\${result}):\\n\${output}\")
  endif()")

set(CPACK_GENERATOR TGZ)
set(CPACK_PACKAGE_NAME kipster)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Kipster: a 3D action game with its level editor")
set(CPACK_PACKAGE_FILE_NAME kipster-${PROJECT_VERSION}-linux-x86_64)
# The install rules already put everything below the one top folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGE_CHECKSUM SHA256)
# No source package: the sources are the git repository.
set(CPACK_SOURCE_GENERATOR "")
include(CPack)
