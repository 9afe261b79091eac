# The Windows resources of the launcher (dialog, manifest, version
# information, optional icon) and the system libraries its window code uses.
# A vendor brands the launcher with these cache options, for example
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
set(JAVELIN_PRODUCT_VERSION "${PROJECT_VERSION}" CACHE STRING
    "File and product version: one to four dot-separated numbers up to 65535")
set(JAVELIN_ICON "" CACHE FILEPATH "Icon file (.ico) of the launcher; empty: no icon")

# Text as the inside of an .rc string literal.
function(javelin_rc_string out text)
  string(REPLACE "\\" "\\\\" text "${text}")
  string(REPLACE "\"" "\"\"" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Writes <dir>/branding.h for res/javelin.rc and returns in `out` an object
# library compiling the resources with it. Arguments: NAME COMPANY
# DESCRIPTION VERSION ICON FILENAME.
function(javelin_add_resources out dir)
  cmake_parse_arguments(arg "" "NAME;COMPANY;DESCRIPTION;VERSION;ICON;FILENAME" "" ${ARGN})
  if(NOT arg_VERSION MATCHES "^[0-9]+(\\.[0-9]+)?(\\.[0-9]+)?(\\.[0-9]+)?$")
    message(FATAL_ERROR "Version \"${arg_VERSION}\": one to four dot-separated numbers expected")
  endif()
  string(REPLACE "." ";" parts "${arg_VERSION}")
  foreach(part IN LISTS parts)
    if(part GREATER 65535)
      message(FATAL_ERROR "Version \"${arg_VERSION}\": each number must be 65535 or less")
    endif()
  endforeach()
  list(LENGTH parts count)
  while(count LESS 4)
    list(APPEND parts 0)
    math(EXPR count "${count} + 1")
  endwhile()
  string(REPLACE ";" "," JAVELIN_RC_VERSION_NUMBERS "${parts}")
  string(REPLACE ";" "." JAVELIN_RC_VERSION_TEXT "${parts}")
  javelin_rc_string(JAVELIN_RC_PRODUCT_NAME "${arg_NAME}")
  javelin_rc_string(JAVELIN_RC_COMPANY_NAME "${arg_COMPANY}")
  javelin_rc_string(JAVELIN_RC_FILE_DESCRIPTION "${arg_DESCRIPTION}")
  javelin_rc_string(JAVELIN_RC_ORIGINAL_FILENAME "${arg_FILENAME}")
  javelin_rc_string(JAVELIN_RC_MANIFEST_FILE "${CMAKE_SOURCE_DIR}/res/javelin.manifest")
  set(JAVELIN_RC_ICON_LINE "")
  set(depends ${CMAKE_SOURCE_DIR}/res/javelin.manifest)
  if(arg_ICON)
    if(NOT EXISTS "${arg_ICON}")
      message(FATAL_ERROR "Icon file \"${arg_ICON}\" does not exist")
    endif()
    javelin_rc_string(icon "${arg_ICON}")
    set(JAVELIN_RC_ICON_LINE "#define JAVELIN_ICON_FILE \"${icon}\"")
    list(APPEND depends "${arg_ICON}")
  endif()
  configure_file(${CMAKE_SOURCE_DIR}/res/branding.h.in ${dir}/branding.h @ONLY)
  # A copy of the .rc per branding, so that each has its own include folder.
  configure_file(${CMAKE_SOURCE_DIR}/res/javelin.rc ${dir}/javelin.rc COPYONLY)
  string(MAKE_C_IDENTIFIER "resources_${dir}" name)
  add_library(${name} OBJECT ${dir}/javelin.rc)
  set_source_files_properties(${dir}/javelin.rc PROPERTIES OBJECT_DEPENDS "${depends}")
  target_include_directories(${name} PRIVATE ${dir})
  set(${out} ${name} PARENT_SCOPE)
endfunction()

javelin_add_resources(launcher_resources ${CMAKE_BINARY_DIR}/res
  NAME "${JAVELIN_PRODUCT_NAME}" COMPANY "${JAVELIN_COMPANY_NAME}"
  DESCRIPTION "${JAVELIN_FILE_DESCRIPTION}" VERSION "${JAVELIN_PRODUCT_VERSION}"
  ICON "${JAVELIN_ICON}" FILENAME "javelin.exe")
target_sources(javelin PRIVATE $<TARGET_OBJECTS:${launcher_resources}>)
target_sources(javelinw PRIVATE $<TARGET_OBJECTS:${launcher_resources}>)

# The dialog, the folder picker, the tooltip and the shell.
target_link_libraries(javelin_core PUBLIC comctl32 shell32 ole32 user32 gdi32)

if(TARGET javelin_tests)
  # The tests create the real dialog from the launcher's template. A second
  # copy of the resources with every branding option set shows the options
  # reach the version information and the icon.
  target_sources(javelin_tests PRIVATE $<TARGET_OBJECTS:${launcher_resources}>)
  target_link_libraries(javelin_tests PRIVATE version)
  javelin_add_resources(branded_resources ${CMAKE_BINARY_DIR}/res-branded
    NAME "Beispiel \"Pro\" Ä" COMPANY "Beispiel GmbH" DESCRIPTION "Beispiel Starter"
    VERSION "2.3.4" ICON "${CMAKE_SOURCE_DIR}/tests/ui/branded.ico" FILENAME "beispiel.exe")
  add_executable(branded_launcher ${CMAKE_SOURCE_DIR}/src/launcher/main.cc
                 $<TARGET_OBJECTS:${branded_resources}>)
  target_link_libraries(branded_launcher PRIVATE javelin_core)
  if(NOT MSVC)
    target_link_options(branded_launcher PRIVATE -static -static-libgcc -static-libstdc++)
  endif()
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
endif()
