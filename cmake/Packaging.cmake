# Release archives made by CPack from this build:
#   javelin-<version>-windows-x64.zip, javelin-<version>-windows-x86.zip,
#   javelin-<version>-linux-<processor>.tar.gz
# each with one top folder holding the launcher (on Windows also the
# windowless javelinw.exe), javelin-brand (built for the archive's platform)
# and javelin-package, the README, the INI reference, the licence, and
# example/ with the hello example (the launcher named hello, its INI file
# and hello.jar, and the window variant hello-window with its INI file and,
# on Linux, a .desktop file) ready to run as unpacked.
# `cpack` in the build folder writes the archive; tools/release.sh builds all
# three.

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(javelin_platform windows-x64)
  else()
    set(javelin_platform windows-x86)
  endif()
  set(CPACK_GENERATOR ZIP)
else()
  string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" javelin_platform)
  set(CPACK_GENERATOR TGZ)
endif()

set(CPACK_PACKAGE_NAME javelin)
set(CPACK_PACKAGE_VENDOR "The Javelin authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME javelin-${PROJECT_VERSION}-${javelin_platform})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Native launcher for Java applications")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_SOURCE_GENERATOR "")
set(CPACK_PACKAGE_CHECKSUM SHA256)

install(TARGETS javelin javelin-brand RUNTIME DESTINATION .)
if(TARGET javelinw)
  install(TARGETS javelinw RUNTIME DESTINATION .)
endif()
install(PROGRAMS ${CMAKE_SOURCE_DIR}/tools/package/javelin-package DESTINATION .)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${CMAKE_SOURCE_DIR}/LICENSE
              ${CMAKE_SOURCE_DIR}/docs/ini-reference.md
        DESTINATION .)
set(javelin_example_dir ${CMAKE_BINARY_DIR}/examples/hello)
install(PROGRAMS ${javelin_example_dir}/hello${CMAKE_EXECUTABLE_SUFFIX}
                 ${javelin_example_dir}/hello-window${CMAKE_EXECUTABLE_SUFFIX} DESTINATION example)
install(FILES ${javelin_example_dir}/hello.ini ${javelin_example_dir}/hello.jar
              ${javelin_example_dir}/hello-window.ini DESTINATION example)
if(NOT WIN32)
  install(FILES ${CMAKE_SOURCE_DIR}/examples/hello/hello-window.desktop DESTINATION example)
endif()

include(CPack)
