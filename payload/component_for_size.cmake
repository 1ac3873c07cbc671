# The component library and the repair program built a second time, for
# size: the sources of the target and of every static or object library of
# ours it links, compiled with -Os and without sanitizers into one module or
# program whose unused sections the linker drops, without symbols. They are
# the Quorvale.dll and the Uninstall.exe the control end installs.

# Sources, include folders, definitions and outside libraries of a target
# and of the static libraries of ours it links, link by link.
function(quorvale_gather target)
  get_property(seen GLOBAL PROPERTY quorvale_gathered)
  if(target IN_LIST seen)
    return()
  endif()
  set_property(GLOBAL APPEND PROPERTY quorvale_gathered ${target})
  get_target_property(dir ${target} SOURCE_DIR)
  get_target_property(sources ${target} SOURCES)
  foreach(source IN LISTS sources)
    if(NOT IS_ABSOLUTE ${source})
      set(source ${dir}/${source})
    endif()
    set_property(GLOBAL APPEND PROPERTY quorvale_gathered_sources ${source})
  endforeach()
  foreach(property INCLUDE_DIRECTORIES COMPILE_DEFINITIONS)
    get_target_property(values ${target} ${property})
    if(values)
      set_property(GLOBAL APPEND PROPERTY quorvale_gathered_${property} ${values})
    endif()
  endforeach()
  get_target_property(links ${target} LINK_LIBRARIES)
  foreach(link IN LISTS links)
    if(TARGET ${link})
      get_target_property(type ${link} TYPE)
    else()
      set(type "")
    endif()
    if(type MATCHES "^(STATIC|OBJECT)_LIBRARY$" AND NOT link MATCHES "::")
      quorvale_gather(${link})
    elseif(link)
      set_property(GLOBAL APPEND PROPERTY quorvale_gathered_links ${link})
    endif()
  endforeach()
endfunction()

# `name` built from the same sources as `from`, for size: a MODULE library
# or a PROGRAM. What is gathered is gathered anew for each.
function(quorvale_for_size name from kind)
  foreach(what "" _sources _INCLUDE_DIRECTORIES _COMPILE_DEFINITIONS _links)
    set_property(GLOBAL PROPERTY quorvale_gathered${what} "")
  endforeach()
  quorvale_gather(${from})
  foreach(what sources INCLUDE_DIRECTORIES COMPILE_DEFINITIONS links)
    get_property(${what} GLOBAL PROPERTY quorvale_gathered_${what})
    list(REMOVE_DUPLICATES ${what})
  endforeach()
  if(kind STREQUAL "PROGRAM")
    add_executable(${name} ${sources})
  else()
    add_library(${name} MODULE ${sources})
  endif()
  add_dependencies(${name} ${from})  # its generated sources are made there
  target_include_directories(${name} PRIVATE ${INCLUDE_DIRECTORIES})
  target_compile_definitions(${name} PRIVATE ${COMPILE_DEFINITIONS})
  target_link_libraries(${name} PRIVATE ${links})
  target_compile_options(${name} PRIVATE -Os -g0 -ffunction-sections -fdata-sections -fno-sanitize=all)
  target_link_options(${name} PRIVATE -Wl,--gc-sections -Wl,--strip-all -fno-sanitize=all)
endfunction()

# A module built from the same sources as `from`, for size.
function(quorvale_module_for_size name from)
  quorvale_for_size(${name} ${from} MODULE)
  quorvale_server_exports(${name})
endfunction()

# A program built from the same sources as `from`, for size.
function(quorvale_program_for_size name from)
  quorvale_for_size(${name} ${from} PROGRAM)
endfunction()
