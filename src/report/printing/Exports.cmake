# Writes OUT.list (a dynamic list) and OUT.ld (EXTERN lines) from the symbols
# MODULE uses without defining that carry no library version: ours, since
# Qt, the C++ library and the C library version every symbol they export.
execute_process(COMMAND ${NM} -D --undefined-only --format=posix ${MODULE}
  OUTPUT_VARIABLE listing RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${MODULE}")
endif()
string(REPLACE "\n" ";" lines "${listing}")
set(symbols "")
foreach(line IN LISTS lines)
  # "name U" for a strong reference; weak ones ("w") are the toolchain's.
  if(line MATCHES "^([^ @]+) U")
    list(APPEND symbols ${CMAKE_MATCH_1})
  endif()
endforeach()
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
