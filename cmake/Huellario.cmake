# One QTest executable per module, run offscreen with its settings in a
# scratch folder, so tests never touch the user's own data or alias file.
function(hlr_add_qtest name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE hlr_testsupport Qt6::Test ${T_LIBS})
  add_test(NAME ${name} COMMAND ${name} -platform offscreen)
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;HLR_ALIASES=${CMAKE_BINARY_DIR}/test-home/aliases-should-not-be-used.conf;XDG_CONFIG_HOME=${CMAKE_BINARY_DIR}/test-home/config;XDG_DATA_HOME=${CMAKE_BINARY_DIR}/test-home/data"
    TIMEOUT 300)
endfunction()

# A layer library from the sources of its folder.
function(hlr_add_library name)
  cmake_parse_arguments(L "" "" "PUBLIC_LIBS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  add_library(${name} STATIC ${sources})
  target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
  target_link_libraries(${name} PUBLIC ${L_PUBLIC_LIBS})
endfunction()

# A program that loads the printing module exports what the module uses of
# ours (listed from the built module) and links it in even when it calls none
# of it itself; a symbol missing everywhere fails this link, not a listing.
function(hlr_link_printing_exports target)
  add_dependencies(${target} hlr_printing_exports)
  target_link_options(${target} PRIVATE "LINKER:--dynamic-list=${HLR_PRINTING_EXPORTS}.list"
    "${HLR_PRINTING_EXPORTS}.ld")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${HLR_PRINTING_EXPORTS}.list
    ${HLR_PRINTING_EXPORTS}.ld)
endfunction()
