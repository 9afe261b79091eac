# The Windows resources of the launcher and the system libraries its window
# code uses. The resource compiler builds the dialog and the manifest into
# the program; the icon and the version information are written by
# javelin-brand after linking, the same tool vendors run on a prebuilt
# launcher, so that both ways give the same resources. A vendor brands the
# launcher at build time with these cache options, for example
#   -DJAVELIN_PRODUCT_NAME="My App" -DJAVELIN_COMPANY_NAME="My Company"
#   -DJAVELIN_FILE_DESCRIPTION="My App" -DJAVELIN_PRODUCT_VERSION=2.1.0
#   -DJAVELIN_ICON=/path/to/myapp.ico
if(NOT WIN32)
  return()
endif()
enable_language(RC)

set(JAVELIN_PRODUCT_NAME "Javelin" CACHE STRING "ProductName of the version information")
set(JAVELIN_COMPANY_NAME "" CACHE STRING "CompanyName of the version information")
set(JAVELIN_FILE_DESCRIPTION "Java application launcher" CACHE STRING
    "FileDescription of the version information")
set(JAVELIN_COPYRIGHT "" CACHE STRING "LegalCopyright of the version information; empty: none")
set(JAVELIN_PRODUCT_VERSION "${PROJECT_VERSION}" CACHE STRING
    "File and product version: one to four dot-separated numbers up to 65535")
set(JAVELIN_ICON "" CACHE FILEPATH "Icon file (.ico) of the launcher; empty: no icon")

# javelin-brand as a program of the build machine: the target itself in a
# native build, a copy built from tools/brand with the host compiler in a
# cross build.
if(CMAKE_CROSSCOMPILING)
  include(ExternalProject)
  set(javelin_brand_host ${CMAKE_BINARY_DIR}/brand-host/javelin-brand)
  ExternalProject_Add(javelin_brand_host
    SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/brand
    BINARY_DIR ${CMAKE_BINARY_DIR}/brand-host
    CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release
    INSTALL_COMMAND ""
    BUILD_ALWAYS ON
    BUILD_BYPRODUCTS ${javelin_brand_host})
  set(javelin_brand_target javelin_brand_host)
else()
  set(javelin_brand_host $<TARGET_FILE:javelin-brand>)
  set(javelin_brand_target javelin-brand)
endif()

# Brands `target` after each link. Arguments: NAME COMPANY DESCRIPTION
# COPYRIGHT VERSION ICON FILENAME, and EXTRA for further javelin-brand options.
function(javelin_brand_after_link target)
  cmake_parse_arguments(arg "" "NAME;COMPANY;DESCRIPTION;COPYRIGHT;VERSION;ICON;FILENAME" "EXTRA" ${ARGN})
  if(NOT arg_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "Version \"${arg_VERSION}\": one to four dot-separated numbers expected")
  endif()
  # --option=value: an empty text stays an argument of its own.
  set(options "--product-name=${arg_NAME}" "--company=${arg_COMPANY}" "--description=${arg_DESCRIPTION}"
      "--product-version=${arg_VERSION}" "--file-version=${arg_VERSION}"
      "--original-filename=${arg_FILENAME}" "--internal-name=${arg_FILENAME}")
  if(arg_COPYRIGHT)
    list(APPEND options "--copyright=${arg_COPYRIGHT}")
  endif()
  if(arg_ICON)
    if(NOT EXISTS "${arg_ICON}")
      message(FATAL_ERROR "Icon file \"${arg_ICON}\" does not exist")
    endif()
    list(APPEND options "--icon=${arg_ICON}")
  endif()
  add_dependencies(${target} ${javelin_brand_target})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${javelin_brand_host} $<TARGET_FILE:${target}> ${options} ${arg_EXTRA}
    VERBATIM)
endfunction()

# The dialog and the manifest, compiled by the resource compiler.
configure_file(${CMAKE_SOURCE_DIR}/res/manifest_path.h.in ${CMAKE_BINARY_DIR}/res/manifest_path.h @ONLY)
add_library(launcher_resources OBJECT ${CMAKE_SOURCE_DIR}/res/javelin.rc)
set_source_files_properties(${CMAKE_SOURCE_DIR}/res/javelin.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/res/javelin.manifest)
target_include_directories(launcher_resources PRIVATE ${CMAKE_BINARY_DIR}/res)
# Both launchers carry the same resources, branded after linking.
foreach(launcher javelin javelinw)
  target_sources(${launcher} PRIVATE $<TARGET_OBJECTS:launcher_resources>)
  javelin_brand_after_link(${launcher}
    NAME "${JAVELIN_PRODUCT_NAME}" COMPANY "${JAVELIN_COMPANY_NAME}" DESCRIPTION "${JAVELIN_FILE_DESCRIPTION}"
    COPYRIGHT "${JAVELIN_COPYRIGHT}" VERSION "${JAVELIN_PRODUCT_VERSION}" ICON "${JAVELIN_ICON}"
    FILENAME "${launcher}.exe")
endforeach()

# The dialog, the folder picker, the tooltip and the shell.
target_link_libraries(javelin_core PUBLIC comctl32 shell32 ole32 user32 gdi32)

if(TARGET javelin_tests)
  # The tests create the real dialog from the launcher's template. A second
  # launcher with every branding option set shows the options reach the
  # version information, the icon and the manifest.
  target_sources(javelin_tests PRIVATE $<TARGET_OBJECTS:launcher_resources>)
  target_link_libraries(javelin_tests PRIVATE version)
  add_executable(branded_launcher ${CMAKE_SOURCE_DIR}/src/launcher/main.cc $<TARGET_OBJECTS:launcher_resources>)
  target_link_libraries(branded_launcher PRIVATE javelin_core)
  if(NOT MSVC)
    target_link_options(branded_launcher PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
  javelin_brand_after_link(branded_launcher
    NAME "Beispiel \"Pro\" Ä" COMPANY "Beispiel GmbH" DESCRIPTION "Beispiel Starter" COPYRIGHT "© 2026 Beispiel GmbH"
    VERSION "2.3.4" ICON "${CMAKE_SOURCE_DIR}/tests/ui/branded.ico" FILENAME "beispiel.exe"
    EXTRA --execution-level highestAvailable --dpi-aware system)
  add_dependencies(javelin_tests branded_launcher javelinw)
  target_compile_definitions(javelin_tests PRIVATE
    JAVELIN_WINDOWLESS_LAUNCHER="$<TARGET_FILE:javelinw>"
    JAVELIN_BRANDED_LAUNCHER="$<TARGET_FILE:branded_launcher>"
    JAVELIN_PRODUCT_VERSION="${JAVELIN_PRODUCT_VERSION}")
endif()

if(TARGET javelin_tests)
  # The launcher's dialog on a real X display (skipped without one; see
  # tools/with-display.sh). The screenshot stays in the build folder.
  add_test(NAME jre_dialog_on_display
           COMMAND ${CMAKE_SOURCE_DIR}/tests/ui/jre_dialog_on_display.sh $<TARGET_FILE:javelin>
                   ${CMAKE_BINARY_DIR}/artefacts)
  # They look for their windows on the display that other test cases use too.
  set_tests_properties(jre_dialog_on_display PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 RESOURCE_LOCK desktop)
  # The windowless launcher's message box, and no box with a redirection.
  add_test(NAME desktop_errors_on_display
           COMMAND ${CMAKE_SOURCE_DIR}/tests/ui/desktop_errors_on_display_win.sh $<TARGET_FILE:javelinw>
                   ${CMAKE_BINARY_DIR}/artefacts)
  set_tests_properties(desktop_errors_on_display PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 RESOURCE_LOCK desktop)
  # The branded launcher, its resources rewritten, still shows the dialog.
  add_test(NAME branded_jre_dialog_on_display
           COMMAND ${CMAKE_SOURCE_DIR}/tests/ui/jre_dialog_on_display.sh $<TARGET_FILE:branded_launcher>
                   ${CMAKE_BINARY_DIR}/artefacts/branded)
  set_tests_properties(branded_jre_dialog_on_display PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 180 RESOURCE_LOCK desktop)
endif()
