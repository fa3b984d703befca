# Source-set helper: every family keeps a scalar reference in *_c.cpp and SIMD
# kernels in *_sse2.cpp, *_sse41.cpp, *_avx2.cpp, *_avx512.cpp (AVX-512 F, BW,
# DQ and VL, with AVX2 and BMI2). Each kind gets its own flags:
#  - the reference is compiled without auto-vectorisation so that it stays the
#    plain scalar code the SIMD kernels are checked and measured against;
#  - SIMD files are compiled for their instruction set only, with KVN_ISA
#    defined to its name (sse2, sse41, avx2, avx512). Their code, and that of every
#    shared SIMD header they include (src/simd/, <family>_simd.h), lives in the
#    namespace kvn::KVN_ISA, so no inline helper built for AVX2 can be merged
#    into a baseline caller.
# The SIMD levels, lowest first, as file suffixes and KVN_ISA names; their
# order is that of kvn::Isa (level 1 .. 4).
set(KVN_SIMD_LEVELS sse2 sse41 avx2 avx512)
list(JOIN KVN_SIMD_LEVELS "|" KVN_SIMD_LEVEL_ALTERNATIVES)

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
    elseif(src MATCHES "_avx512\\.cpp$")
      # GCC 12's AVX-512 headers make their undefined vectors by self-
      # initialisation, which -Wuninitialized reports at every extract.
      set_source_files_properties(${src} PROPERTIES COMPILE_OPTIONS
        "-mavx2;-mbmi2;-mavx512f;-mavx512bw;-mavx512dq;-mavx512vl;-Wno-uninitialized" COMPILE_DEFINITIONS KVN_ISA=avx512)
    endif()
    if(NOT KVNVC_SIMD AND src MATCHES "_(${KVN_SIMD_LEVEL_ALTERNATIVES})\\.cpp$")
      continue()
    endif()
    list(APPEND result ${src})
  endforeach()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Generates, from the one list of exported names, the binding of each name to
# its bodies (C++), the declarations of the bodies, the linker's version
# script and the sorted list the export test compares with.
#
# List format: one exported name a line; "name = other" makes name share the
# body of other. '#' starts a comment.
#
# How a name is bound: every file of entries is compiled once per
# instruction-set level (kvn_entry_sources), so each body exists as
# kvn_body_<name>_<level>, level 0 scalar, 1 SSE2, 2 SSE4.1, 3 AVX2, 4 AVX-512, each
# calling its level's kernels directly. Each exported name is an ELF indirect
# function: when the library is loaded (or a static consumer starts), the
# loader asks the name's resolver, which picks the body of the best level the
# processor supports, and writes it into the caller's read-only-after-load
# GOT. A call then costs the caller's one indirect jump into the body; there is
# no per-call CPU detection and no table of the library's own in between.
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
  list(SORT names COMPARE STRING CASE SENSITIVE)

  set(head "/* Generated from ${list_file}; do not edit. */\n")
  set(decls "${head}#pragma once\n#include \"kvnvc.h\"\n\n")
  string(APPEND decls "// The body of an exported name at a level (0 scalar .. 4 AVX-512).\n")
  string(APPEND decls "#define KVN_BODY(name, level) KVN_BODY_(name, level)\n")
  string(APPEND decls "#define KVN_BODY_(name, level) kvn_body_##name##_##level\n")
  string(APPEND decls "#define KVN_DECLARE_BODIES(name) \\\n")
  string(APPEND decls "  extern \"C\" __attribute__((visibility(\"hidden\"))) decltype(name) kvn_body_##name##_0, \\\n")
  string(APPEND decls "      kvn_body_##name##_1, kvn_body_##name##_2, kvn_body_##name##_3, kvn_body_##name##_4\n\n")
  set(map "${head}{\n  global:\n")
  set(sorted "")
  set(bodies)
  foreach(name IN LISTS names)
    set(body ${body_${name}})
    if(NOT DEFINED body_${body} OR NOT body_${body} STREQUAL body)
      message(FATAL_ERROR "${list_file}: ${name} shares the body of ${body}, which is not a body of its own")
    endif()
    string(APPEND map "    ${name};\n")
    string(APPEND sorted "${name}\n")
    if(NOT body IN_LIST bodies)
      list(APPEND bodies ${body})
      string(APPEND decls "KVN_DECLARE_BODIES(${body});\n")
    endif()
  endforeach()
  string(APPEND map "  local:\n    *;\n};\n")
  list(LENGTH names count)

  file(MAKE_DIRECTORY ${out_dir})
  file(CONFIGURE OUTPUT ${out_dir}/kvn_bodies.h CONTENT "${decls}" @ONLY)
  file(CONFIGURE OUTPUT ${out_dir}/kvnvc.map CONTENT "${map}" @ONLY)
  file(CONFIGURE OUTPUT ${out_dir}/exports.txt CONTENT "${sorted}" @ONLY)
  set(KVN_EXPORT_COUNT ${count} PARENT_SCOPE)
  set_property(GLOBAL PROPERTY KVN_EXPORT_NAMES ${names})
  foreach(name IN LISTS names)
    set_property(GLOBAL PROPERTY KVN_EXPORT_BODY_${name} ${body_${name}})
  endforeach()
  set_property(GLOBAL PROPERTY KVN_EXPORT_HEAD "${head}")
endfunction()

# Writes the binding of every exported name (kvn_generate_exports) to its
# bodies, after kvn_entry_sources has found which bodies have an AVX-512 level
# of their own.
function(kvn_generate_binding out_dir)
  get_property(names GLOBAL PROPERTY KVN_EXPORT_NAMES)
  get_property(head GLOBAL PROPERTY KVN_EXPORT_HEAD)
  get_property(level4 GLOBAL PROPERTY KVN_LEVEL4_BODIES)
  set(bind "${head}#include \"core/bind.h\"\n\n")
  foreach(name IN LISTS names)
    get_property(body GLOBAL PROPERTY KVN_EXPORT_BODY_${name})
    set(top 3)
    if(body IN_LIST level4)
      set(top 4)
    endif()
    string(APPEND bind "KVN_BIND(${name}, ${body}, ${top});\n")
  endforeach()
  file(CONFIGURE OUTPUT ${out_dir}/kvn_bind.cpp CONTENT "${bind}" @ONLY)
endfunction()

# Files of entries (*_api.cpp): the file itself is the scalar level; for each
# SIMD level the build generates a file that compiles it again at that level
# (KVN_ENTRY_LEVEL), with the level's instruction set; at the AVX-512 level only
# where a family declares the file as its ENTRIES and has kernels of that level
# (the names of the entries it defines, KVN_ENTRY(name), are recorded for
# kvn_generate_binding). Where a family declares
# the file as its ENTRIES, the generated file of each level the family has
# kernels of starts with that level's kernel file, so that the bodies see the
# level's kernels and own table at compile time and can inline them; the
# kernel file is then compiled only there. Rewrites the list named by out.
function(kvn_entry_sources out)
  get_property(pairs GLOBAL PROPERTY KVN_ENTRY_KERNEL_FILES)
  set(result)
  set(included)
  foreach(src IN LISTS ARGN)
    list(APPEND result ${src})
    if(NOT KVNVC_SIMD OR NOT src MATCHES "_api\\.cpp$")
      continue()
    endif()
    string(REGEX REPLACE "\\.cpp$" "" stem ${src})
    set(level 1)
    foreach(isa IN LISTS KVN_SIMD_LEVELS)
      set(kernels "")
      foreach(pair IN LISTS pairs)
        if(pair MATCHES "^${src}\\|${isa}\\|(.*)$")
          set(kernels "#include \"${CMAKE_MATCH_1}\"\n")
          list(APPEND included ${CMAKE_MATCH_1})
        endif()
      endforeach()
      if(isa STREQUAL avx512)
        if(kernels STREQUAL "")
          break()  # the AVX2 bodies serve the level
        endif()
        file(STRINGS ${CMAKE_CURRENT_SOURCE_DIR}/${src} entries REGEX "KVN_ENTRY\\([A-Za-z0-9_]+\\)")
        foreach(e IN LISTS entries)
          string(REGEX MATCH "KVN_ENTRY\\(([A-Za-z0-9_]+)\\)" e "${e}")
          set_property(GLOBAL APPEND PROPERTY KVN_LEVEL4_BODIES ${CMAKE_MATCH_1})
        endforeach()
      endif()
      set(gen ${KVN_GEN_DIR}/entries/${stem}_${isa}.cpp)
      file(CONFIGURE OUTPUT ${gen} CONTENT
"// Generated: the entries of ${src} at the ${isa} level; do not edit.
@kernels@#define KVN_ENTRY_LEVEL ${level}
#include \"${src}\"
" @ONLY)
      list(APPEND result ${gen})
      math(EXPR level "${level} + 1")
    endforeach()
  endforeach()
  if(included)
    list(REMOVE_ITEM result ${included})
  endif()
  set(${out} ${result} PARENT_SCOPE)
endfunction()

# Declares a kernel family: its name, the type of its kernel table, its header
# (relative to src/, ending with KVN_DECLARE_FAMILY(name, Type);), the SIMD
# levels it has kernels of, each in <name>_<level>.cpp next to the header, and
# the file of its entries, which is compiled together with each level's kernels
# (kvn_entry_sources; declare the families first):
#   kvn_kernel_family(sad SadKernels blocks/sad.h LEVELS sse2 sse41 avx2 ENTRIES blocks/sad_api.cpp)
# Generates the family's <name>_init.cpp (an empty own table for each level it
# has no kernels of, and KVN_DEFINE_FAMILY: the whole tables of every level,
# the getter and the load-time choice) into ${KVN_GEN_DIR} and appends it to
# KVN_FAMILY_SOURCES. The levels must match the files.
function(kvn_kernel_family name type header)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "ENTRIES" LEVELS)
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "kernel family ${name}: unexpected arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${header})
    message(FATAL_ERROR "kernel family ${name}: no header ${header}")
  endif()
  get_filename_component(dir ${header} DIRECTORY)
  set(missing)
  set(levels ${arg_LEVELS})
  foreach(level IN LISTS KVN_SIMD_LEVELS)
    set(src ${dir}/${name}_${level}.cpp)
    if(level IN_LIST levels)
      if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
        message(FATAL_ERROR "kernel family ${name}: level ${level} declared, but there is no ${src}")
      endif()
      if(NOT KVNVC_SIMD)
        string(APPEND missing "KVN_NO_LEVEL_KERNELS(${type}, ${level});\n")
      elseif(arg_ENTRIES)
        set_property(GLOBAL APPEND PROPERTY KVN_ENTRY_KERNEL_FILES "${arg_ENTRIES}|${level}|${src}")
      endif()
      list(REMOVE_ITEM levels ${level})
    else()
      if(EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${src})
        message(FATAL_ERROR "kernel family ${name}: ${src} exists, but level ${level} is not declared")
      endif()
      string(APPEND missing "KVN_NO_LEVEL_KERNELS(${type}, ${level});\n")
    endif()
  endforeach()
  if(levels)
    message(FATAL_ERROR "kernel family ${name}: unknown levels ${levels} (${KVN_SIMD_LEVELS})")
  endif()

  set(out ${KVN_GEN_DIR}/families/${name}_init.cpp)
  file(CONFIGURE OUTPUT ${out} CONTENT
"// Generated from the declaration of the kernel family ${name} in src/CMakeLists.txt
// (kvn_kernel_family, cmake/KvnKernels.cmake); do not edit.
#include \"${header}\"

namespace kvn {

${missing}KVN_DEFINE_FAMILY(${name}, ${type});

}  // namespace kvn
" @ONLY)
  set(KVN_FAMILY_SOURCES ${KVN_FAMILY_SOURCES} ${out} PARENT_SCOPE)
endfunction()
