# Source-set helper: every family keeps a scalar reference in *_c.cpp and SIMD
# kernels in *_sse2.cpp, *_sse41.cpp, *_avx2.cpp. Each kind gets its own flags:
#  - the reference is compiled without auto-vectorisation so that it stays the
#    plain scalar code the SIMD kernels are checked and measured against;
#  - SIMD files are compiled for their instruction set only, with KVN_ISA
#    defined to its name (sse2, sse41, avx2). Their code, and that of every
#    shared SIMD header they include (src/simd/, <family>_simd.h), lives in the
#    namespace kvn::KVN_ISA, so no inline helper built for AVX2 can be merged
#    into a baseline caller.
function(kvn_kernel_sources out)
  set(result)
  foreach(src IN LISTS ARGN)
    if(src MATCHES "_c\\.cpp$")
      set_source_files_properties(${src} PROPERTIES COMPILE_OPTIONS
        "-fno-tree-vectorize;-fno-tree-slp-vectorize")
    elseif(src MATCHES "_sse2\\.cpp$")
      set_source_files_properties(${src} PROPERTIES COMPILE_DEFINITIONS KVN_ISA=sse2)
    elseif(src MATCHES "_sse41\\.cpp$")
      set_source_files_properties(${src} PROPERTIES COMPILE_OPTIONS "-msse4.1" COMPILE_DEFINITIONS KVN_ISA=sse41)
    elseif(src MATCHES "_avx2\\.cpp$")
      set_source_files_properties(${src} PROPERTIES COMPILE_OPTIONS "-mavx2;-mbmi2" COMPILE_DEFINITIONS KVN_ISA=avx2)
    endif()
    if(NOT KVNVC_SIMD AND src MATCHES "_(sse2|sse41|avx2)\\.cpp$")
      continue()
    endif()
    list(APPEND result ${src})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Generates, from the one list of exported names, the entry table with its
# stubs (assembly), the declarations of the bodies (C++), the linker's version
# script and the sorted list the export test compares with.
#
# List format: one exported name a line; "name = other" makes name share the
# body of other. '#' starts a comment.
function(kvn_generate_exports list_file out_dir)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${list_file})
  file(STRINGS ${list_file} lines)
  set(names)
  foreach(line IN LISTS lines)
    string(REGEX REPLACE "#.*$" "" line "${line}")
    string(STRIP "${line}" line)
    if(line STREQUAL "")
      continue()
    endif()
    if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)[ \t]*=[ \t]*([A-Za-z_][A-Za-z0-9_]*)$")
      set(name ${CMAKE_MATCH_1})
      set(body_${name} ${CMAKE_MATCH_2})
    elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*)$")
      set(name ${CMAKE_MATCH_1})
      set(body_${name} ${name})
    else()
      message(FATAL_ERROR "${list_file}: cannot read line '${line}'")
    endif()
    if(name IN_LIST names)
      message(FATAL_ERROR "${list_file}: ${name} listed twice")
    endif()
    list(APPEND names ${name})
  endforeach()
  # Slots are in ascending byte order of the names (CMake compares strings bytewise).
  list(SORT names COMPARE STRING CASE SENSITIVE)

  set(asm "/* Generated from ${list_file}; do not edit. */\n")
  string(APPEND asm "\t.section .data.rel.ro,\"aw\"\n\t.balign 64\n")
  string(APPEND asm "\t.globl kvn_entry_table\n\t.hidden kvn_entry_table\n")
  string(APPEND asm "\t.type kvn_entry_table,@object\nkvn_entry_table:\n")
  set(decls "/* Generated from ${list_file}; do not edit. */\n#pragma once\n#include \"kvnvc.h\"\n\n")
  string(APPEND decls "#define KVN_BODY(name) kvn_body_##name\n\n")
  set(map "/* Generated from ${list_file}; do not edit. */\n{\n  global:\n")
  set(sorted "")
  set(stubs "\t.text\n")
  set(bodies)
  set(slot 0)
  foreach(name IN LISTS names)
    set(body ${body_${name}})
    if(NOT DEFINED body_${body} OR NOT body_${body} STREQUAL body)
      message(FATAL_ERROR "${list_file}: ${name} shares the body of ${body}, which is not a body of its own")
    endif()
    string(APPEND asm "\t.quad kvn_body_${body}\n")
    math(EXPR offset "${slot} * 8")
    string(APPEND stubs "\t.globl ${name}\n\t.type ${name},@function\n\t.p2align 4\n${name}:\n"
                        "\tendbr64\n\tjmp *kvn_entry_table+${offset}(%rip)\n\t.size ${name},.-${name}\n")
    string(APPEND map "    ${name};\n")
    string(APPEND sorted "${name}\n")
    if(NOT body IN_LIST bodies)
      list(APPEND bodies ${body})
      string(APPEND decls "extern \"C\" __attribute__((visibility(\"hidden\"))) decltype(${body}) kvn_body_${body};\n")
    endif()
    math(EXPR slot "${slot} + 1")
  endforeach()
  string(APPEND asm "\t.size kvn_entry_table,.-kvn_entry_table\n\n${stubs}")
  string(APPEND asm "\t.section .note.GNU-stack,\"\",@progbits\n")
  string(APPEND map "  local:\n    *;\n};\n")

  file(MAKE_DIRECTORY ${out_dir})
  file(CONFIGURE OUTPUT ${out_dir}/kvn_entry.S CONTENT "${asm}" @ONLY)
  file(CONFIGURE OUTPUT ${out_dir}/kvn_bodies.h CONTENT "${decls}" @ONLY)
  file(CONFIGURE OUTPUT ${out_dir}/kvnvc.map CONTENT "${map}" @ONLY)
  file(CONFIGURE OUTPUT ${out_dir}/exports.txt CONTENT "${sorted}" @ONLY)
  set(KVN_EXPORT_COUNT ${slot} PARENT_SCOPE)
endfunction()

# Declares a kernel family: its name, the type of its kernel table, its header
# (relative to src/, ending with KVN_DECLARE_FAMILY(name, Type);) and the SIMD
# levels it has kernels of, each in <name>_<level>.cpp next to the header:
#   kvn_kernel_family(sad SadKernels blocks/sad.h LEVELS sse2 sse41 avx2)
# Generates the family's <name>_init.cpp (KVN_DEFINE_FAMILY: the tables of
# every level, the getter and the load-time choice) into ${KVN_GEN_DIR} and
# appends it to KVN_FAMILY_SOURCES. The levels must match the files.
function(kvn_kernel_family name type header)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "" LEVELS)
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kernel family ${name}: unexpected arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    message(FATAL_ERROR "kernel family ${name}: no header ${header}")
  endif()
  get_filename_component(dir ${header} DIRECTORY)
  set(steps)
  set(levels ${arg_LEVELS})
  foreach(level IN ITEMS sse2 sse41 avx2)
    set(src ${dir}/${name}_${level}.cpp)
    if(level IN_LIST levels)
      if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
        message(FATAL_ERROR "kernel family ${name}: level ${level} declared, but there is no ${src}")
      endif()
      list(APPEND steps "KVN_FAMILY_STEP(${name}, ${level})")
      list(REMOVE_ITEM levels ${level})
    else()
      if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
        message(FATAL_ERROR "kernel family ${name}: ${src} exists, but level ${level} is not declared")
      endif()
      list(APPEND steps nullptr)
    endif()
  endforeach()
  if(levels)
    message(FATAL_ERROR "kernel family ${name}: unknown levels ${levels} (sse2, sse41, avx2)")
  endif()
  list(JOIN steps ", " steps)

  set(out ${KVN_GEN_DIR}/families/${name}_init.cpp)
  file(CONFIGURE OUTPUT ${out} CONTENT
"// Generated from the declaration of the kernel family ${name} in src/CMakeLists.txt
// (kvn_kernel_family, cmake/KvnKernels.cmake); do not edit.
#include \"${header}\"

namespace kvn {

KVN_DEFINE_FAMILY(${name}, ${type}, ${steps});

}  // namespace kvn
" @ONLY)
  set(KVN_FAMILY_SOURCES ${KVN_FAMILY_SOURCES} ${out} PARENT_SCOPE)
endfunction()
