# Compiles a file's bytes into the program.
#
#   include(${PROJECT_SOURCE_DIR}/cmake/EmbedBinary.cmake)
#   chronolist_embed_binary(<sources-var> <input-file> <function> [HEADER <include>])
#
# Appends to <sources-var> a .cpp, generated at build time and again whenever
# <input-file> changes, that defines
#
#   std::span<const std::uint8_t> <function>();
#
# returning the file's bytes. <function> may be qualified (res::AppIconIco);
# the namespaces are opened around it. Declare it in a header of your own and
# pass that header's include path as HEADER: the generated file includes it, so
# a declaration that drifts from the definition fails to compile.
#
# The same file is the generator, run as `cmake -P` (no xxd needed).

if(CMAKE_SCRIPT_MODE_FILE)
  foreach(required EMBED_INPUT EMBED_OUTPUT EMBED_FUNCTION)
    if(NOT DEFINED ${required})
      message(FATAL_ERROR "EmbedBinary.cmake: -D${required}=... is required")
    endif()
  endforeach()

  file(READ "${EMBED_INPUT}" hex HEX)
  string(LENGTH "${hex}" hex_length)
  math(EXPR size "${hex_length} / 2")
  # 16 bytes a line, each as 0xNN. CMake's regex has no {n}, hence REPEAT.
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REPEAT "0x..," 16 line_pattern)
  string(REGEX REPLACE "(${line_pattern})" "\\1\n    " bytes "${bytes}")
  string(STRIP "${bytes}" bytes)
  if(size EQUAL 0)
    set(bytes "0")  # an array cannot be empty; the span still is
  endif()

  string(REPLACE "::" ";" parts "${EMBED_FUNCTION}")
  list(POP_BACK parts name)
  set(open "")
  set(close "")
  foreach(ns IN LISTS parts)
    string(APPEND open "namespace ${ns} {\n")
    string(PREPEND close "}  // namespace ${ns}\n")
  endforeach()
  if(open)
    string(APPEND open "\n")
    string(PREPEND close "\n")
  endif()

  set(include_header "")
  if(EMBED_HEADER)
    set(include_header "#include \"${EMBED_HEADER}\"\n\n")
  endif()
  get_filename_component(input_name "${EMBED_INPUT}" NAME)

  set(text "// Generated from ${input_name} by EmbedBinary.cmake; edit the input, not this file.\n")
  string(APPEND text "${include_header}")
  string(APPEND text "#include <cstddef>\n#include <cstdint>\n#include <span>\n\n${open}")
  string(APPEND text "namespace {\n")
  string(APPEND text "constexpr std::size_t kSize = ${size};\n")
  string(APPEND text "const std::uint8_t kBytes[] = {\n    ${bytes}\n};\n")
  string(APPEND text "}  // namespace\n\n")
  string(APPEND text "std::span<const std::uint8_t> ${name}() { return {kBytes, kSize}; }\n")
  string(APPEND text "${close}")

  file(WRITE "${EMBED_OUTPUT}" "${text}")
  return()
endif()

set(CHRONOLIST_EMBED_BINARY_SCRIPT "${CMAKE_CURRENT_LIST_FILE}" CACHE INTERNAL "")

function(chronolist_embed_binary sources_var input function)
  cmake_parse_arguments(PARSE_ARGV 3 arg "" "HEADER" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "chronolist_embed_binary: unexpected arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT function MATCHES "^([A-Za-z_][A-Za-z0-9_]*::)*[A-Za-z_][A-Za-z0-9_]*$")
    message(FATAL_ERROR "chronolist_embed_binary: '${function}' is not a C++ function name")
  endif()
  get_filename_component(input "${input}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")

  string(REPLACE "::" "_" file_stem "${function}")
  set(output "${CMAKE_CURRENT_BINARY_DIR}/embedded/${file_stem}.cpp")
  add_custom_command(
    OUTPUT "${output}"
    COMMAND "${CMAKE_COMMAND}"
      "-DEMBED_INPUT=${input}"
      "-DEMBED_OUTPUT=${output}"
      "-DEMBED_FUNCTION=${function}"
      "-DEMBED_HEADER=${arg_HEADER}"
      -P "${CHRONOLIST_EMBED_BINARY_SCRIPT}"
    DEPENDS "${input}" "${CHRONOLIST_EMBED_BINARY_SCRIPT}"
    COMMENT "Embedding ${function} from ${input}"
    VERBATIM)
  set(${sources_var} ${${sources_var}} "${output}" PARENT_SCOPE)
endfunction()
