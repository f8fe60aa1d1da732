# Writes OUT.list (a dynamic list) and OUT.ld (EXTERN lines) from the symbols
# the MODULES ("|"-separated) use without defining that carry no library
# version: ours, since Qt, the C++ library and the C library version every
# symbol they export.
string(REPLACE "|" ";" modules "${MODULES}")
set(symbols "")
foreach(module IN LISTS modules)
  if(module STREQUAL "")
    continue()
  endif()
  execute_process(COMMAND ${NM} -D --undefined-only --format=posix ${module}
    OUTPUT_VARIABLE listing RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "nm failed on ${module}")
  endif()
  string(REPLACE "\n" ";" lines "${listing}")
  foreach(line IN LISTS lines)
    # "name U" for a strong reference; weak ones ("w") are the toolchain's.
    if(line MATCHES "^([^ @]+) U")
      list(APPEND symbols ${CMAKE_MATCH_1})
    endif()
  endforeach()
endforeach()
list(REMOVE_DUPLICATES symbols)
list(SORT symbols)
set(list "{\n")
set(script "")
foreach(symbol IN LISTS symbols)
  string(APPEND list "  ${symbol};\n")
  string(APPEND script "EXTERN(${symbol})\n")
endforeach()
string(APPEND list "};\n")
file(WRITE ${OUT}.list.new "${list}")
file(WRITE ${OUT}.ld.new "${script}")
# Unchanged files keep their time, so the program is not linked again for nothing.
file(COPY_FILE ${OUT}.list.new ${OUT}.list ONLY_IF_DIFFERENT)
file(COPY_FILE ${OUT}.ld.new ${OUT}.ld ONLY_IF_DIFFERENT)
