# The install recipes that the three programs' sequences share, and their
# tests: each test program carries the resources of the program whose
# recipes it runs.
target_sources(quorvale_setup_common PRIVATE
  src/payload_recipe.cpp
  src/site_recipe.cpp
  src/component_recipe.cpp
  src/system_ini_step.cpp)

# The resources of the programs whose recipes the tests run, from payload/.
include(${PROJECT_SOURCE_DIR}/payload/resources.cmake)
set(recipe_tests ${PROJECT_SOURCE_DIR}/tests/setup-common)
set(payload_out ${PROJECT_BINARY_DIR}/payload)

# An IIS that answers every name, for the bound on the site-number draws.
add_library(every_number_iis MODULE ${recipe_tests}/every_number_iis.cpp)
target_link_libraries(every_number_iis PRIVATE quorvale_com)
target_include_directories(every_number_iis PRIVATE ${PROJECT_SOURCE_DIR}/platform/providers/src)
quorvale_server_exports(every_number_iis)

# An archive whose members try to leave the folder they are unpacked into,
# carried as resource CUSTOM 901.
add_executable(escape_archive_gen ${recipe_tests}/escape_archive_gen.cpp)
target_link_libraries(escape_archive_gen PRIVATE quorvale_rar)
set(escape_archive ${CMAKE_CURRENT_BINARY_DIR}/escape.rar)
add_custom_command(OUTPUT ${escape_archive} COMMAND escape_archive_gen ${escape_archive}
                   DEPENDS escape_archive_gen COMMENT "Writing the unpacking tests' escaping archive")
add_custom_target(recipe_escape_archive DEPENDS ${escape_archive})
quorvale_resource_objects(recipe_test_resources CUSTOM 901 2052 ${escape_archive})
add_dependencies(recipe_test_resources recipe_escape_archive)

set(recipe_definitions
  EVERY_NUMBER_IIS="$<TARGET_FILE:every_number_iis>"
  ESCAPE_ARCHIVE="${escape_archive}"
  SERVER_PAYLOAD="${payload_out}/server/Quorvale.rar"
  CONTROL_PAYLOAD="${payload_out}/control/Quorvale.rar"
  UNPACKER="${payload_out}/stand-ins/Rar.exe"
  DODIDE="${payload_out}/stand-ins/DodIde.dll"
  JMAIL="${payload_out}/stand-ins/Jmail.dll")

set(recipe_program
  LINKS quorvale_setup_common quorvale_programs quorvale_providers quorvale_com
  DEFINITIONS ${recipe_definitions}
  PROVIDERS
  DEPENDS payloads)

# One test program per set of resources: the server end's, the control
# end's, the repair's.
quorvale_test_program(server_recipe_tests ${recipe_program}
  SOURCES
    ${recipe_tests}/payload_recipe_test.cpp
    ${recipe_tests}/site_recipe_test.cpp
    ${recipe_tests}/component_recipe_test.cpp
    ${recipe_tests}/system_ini_step_test.cpp
  LINKS quorvale_server_resources quorvale_payloads recipe_test_resources
  DEPENDS every_number_iis
  ENVIRONMENT ${wizard_test_environment})
quorvale_test_program(client_recipe_tests ${recipe_program}
  SOURCES ${recipe_tests}/client_payload_recipe_test.cpp
  LINKS quorvale_client_resources
  ENVIRONMENT ${wizard_test_environment})
quorvale_test_program(uninstall_recipe_tests ${recipe_program}
  SOURCES ${recipe_tests}/repair_component_recipe_test.cpp
  LINKS quorvale_uninstall_resources
  ENVIRONMENT ${wizard_test_environment})

# The server end's payload written and unpacked, on the test clock.
quorvale_test_program(recipes_bench BENCHMARK ${recipe_program}
  SOURCES bench/unpack_bench.cpp
  LINKS quorvale_server_resources)
