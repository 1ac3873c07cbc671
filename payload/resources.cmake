# Files linked into a program as its resources, the way the component's
# resources are carried: each in an ELF section ".qvres.<TYPE>.<id>.<language>"
# that the loader maps with the program (read-only, never copied).
#
#   quorvale_resource_objects(name TYPE ID LANGUAGE FILE [TYPE ID LANGUAGE FILE ...])
#
# makes an object library `name`; a program that links it carries the files.
function(quorvale_resource_objects name)
  set(args ${ARGN})
  set(source "// Written by the build: the resources of ${name}.\n")
  set(files "")
  while(args)
    list(POP_FRONT args type id language file)
    string(APPEND source
      "asm(\".section .qvres.${type}.${id}.${language},\\\"aR\\\",@progbits\\n\"\n"
      "    \".balign 16\\n\"\n"
      "    \".incbin \\\"${file}\\\"\\n\"\n"
      "    \".previous\");\n")
    list(APPEND files ${file})
  endwhile()
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${cpp} CONTENT "${source}")
  set_source_files_properties(${cpp} PROPERTIES OBJECT_DEPENDS "${files}")
  add_library(${name} OBJECT ${cpp})
endfunction()
