# Files linked into a program as its resources, the way the component's
# resources are carried: each in an ELF section ".qvres.<TYPE>.<id>.<language>"
# that the loader maps with the program (read-only, never copied).
#
#   quorvale_resource_objects(name TYPE ID LANGUAGE FILE [TYPE ID LANGUAGE FILE ...])
#
# makes an object library `name`; a program that links it carries the files.
# Beside each file goes an entry of the section "qvres_index": the address of
# its section's name, of its first byte and its size, which the loader
# relocates with the program; the resource calls read the running program's
# resources there (between __start_qvres_index and __stop_qvres_index),
# whatever loaded it, without reading the program's file.
function(quorvale_resource_objects name)
  set(args ${ARGN})
  set(source "// Written by the build: the resources of ${name}.\n")
  set(files "")
  set(n 0)
  while(args)
    list(POP_FRONT args type id language file)
    math(EXPR n "${n} + 1")
    set(section ".qvres.${type}.${id}.${language}")
    set(label ".Lqvres${n}")
    string(APPEND source
      "asm(\".pushsection ${section},\\\"aR\\\",@progbits\\n\"\n"
      "    \".balign 16\\n\"\n"
      "    \"${label}:\\n\"\n"
      "    \".incbin \\\"${file}\\\"\\n\"\n"
      "    \"${label}_end:\\n\"\n"
      "    \".popsection\\n\"\n"
      "    \".pushsection .rodata.qvres_names,\\\"a\\\",@progbits\\n\"\n"
      "    \"${label}_name: .asciz \\\"${section}\\\"\\n\"\n"
      "    \".popsection\\n\"\n"
      "    \".pushsection qvres_index,\\\"awR\\\",@progbits\\n\"\n"
      "    \".balign 8\\n\"\n"
      "    \".quad ${label}_name, ${label}, ${label}_end - ${label}\\n\"\n"
      "    \".popsection\");\n")
    list(APPEND files ${file})
  endwhile()
  set(cpp ${CMAKE_CURRENT_BINARY_DIR}/${name}.cpp)
  file(CONFIGURE OUTPUT ${cpp} CONTENT "${source}")
  set_source_files_properties(${cpp} PROPERTIES OBJECT_DEPENDS "${files}")
  add_library(${name} OBJECT ${cpp})
endfunction()
