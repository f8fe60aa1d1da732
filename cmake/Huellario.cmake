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

# Parts the program loads when first needed, each built from an object
# library alone: what a module uses of ours comes from the program that loads
# it, which exports exactly that, so nothing has two copies. Installed, they
# go in the multiarch folder on Debian, where a package's private libraries
# belong (and need no ldconfig).
if(CMAKE_LIBRARY_ARCHITECTURE)
  set(HLR_MODULE_DIR lib/${CMAKE_LIBRARY_ARCHITECTURE}/huellario)
else()
  set(HLR_MODULE_DIR ${CMAKE_INSTALL_LIBDIR}/huellario)
endif()
file(RELATIVE_PATH HLR_MODULES_FROM_BIN ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_PREFIX}/${HLR_MODULE_DIR})

function(hlr_add_module name objects)
  add_library(${name} MODULE $<TARGET_OBJECTS:${objects}>)
  target_link_libraries(${name} PRIVATE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY})
  install(TARGETS ${name} LIBRARY DESTINATION ${HLR_MODULE_DIR})
  set_property(GLOBAL APPEND PROPERTY HLR_MODULES ${name})
endfunction()

# Once every module is defined: the modules' symbols of ours, read from the
# built modules, as a dynamic list that exports them from the program and a
# linker script whose EXTERN lines pull them into its link.
function(hlr_list_module_exports)
  get_property(modules GLOBAL PROPERTY HLR_MODULES)
  set(files "")
  foreach(module IN LISTS modules)
    string(APPEND files "$<TARGET_FILE:${module}>|")
  endforeach()
  set(exports ${CMAKE_BINARY_DIR}/module-exports)
  add_custom_command(OUTPUT ${exports}.list ${exports}.ld
    COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} "-DMODULES=${files}" -DOUT=${exports}
      -P ${CMAKE_SOURCE_DIR}/cmake/ModuleExports.cmake
    DEPENDS ${modules} ${CMAKE_SOURCE_DIR}/cmake/ModuleExports.cmake
    COMMENT "Listing what the modules use of the program" VERBATIM)
  add_custom_target(hlr_module_exports DEPENDS ${exports}.list ${exports}.ld)
endfunction()

# A program that loads the modules: exports what they use of ours and links
# it in even when it calls none of it itself; a symbol missing everywhere
# fails this link, not a user's listing or photograph.
function(hlr_link_module_exports target)
  set(exports ${CMAKE_BINARY_DIR}/module-exports)
  add_dependencies(${target} hlr_module_exports)
  target_link_options(${target} PRIVATE "LINKER:--dynamic-list=${exports}.list" "${exports}.ld")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${exports}.list ${exports}.ld)
endfunction()
