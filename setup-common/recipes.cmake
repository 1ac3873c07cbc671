# The install recipes that the three programs' sequences share, and their
# tests: each test program carries the resources of the program whose
# recipes it runs.
target_sources(quorvale_setup_common PRIVATE
  src/step_reporter.cpp
  src/payload_recipe.cpp
  src/site_recipe.cpp
  src/component_recipe.cpp
  src/system_ini_step.cpp)
