# SPDX-License-Identifier: GPL-3.0-or-later
# Sanitizer switches apply to every target of the tree.
function(quillmar_sanitizers)
  if(QUILLMAR_ASAN AND QUILLMAR_TSAN)
    message(FATAL_ERROR "QUILLMAR_ASAN and QUILLMAR_TSAN cannot be combined")
  endif()
  if(QUILLMAR_FUZZ)
    # Coverage for libFuzzer in every library, address and UB checks as well.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
  elseif(QUILLMAR_ASAN)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  elseif(QUILLMAR_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  endif()
endfunction()

# The hardening Debian builds its packages with: stack protector, format
# checks, PIE, read-only relocations bound at start-up, and in optimised
# builds fortified libc calls (_FORTIFY_SOURCE needs optimisation, and the
# sanitizers do their own checking).
function(quillmar_hardening)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON PARENT_SCOPE)
  add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
  if(NOT QUILLMAR_ASAN AND NOT QUILLMAR_TSAN AND NOT QUILLMAR_FUZZ)
    add_compile_options("$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
  endif()
endfunction()

# quillmar_test(NAME SOURCES... LIBS ... [GUI] [OWN_MAIN])
# One GoogleTest executable registered with CTest; GUI tests run headless.
# GUI and OWN_MAIN tests bring their own main (an application object).
function(quillmar_test name)
  cmake_parse_arguments(ARG "GUI;OWN_MAIN" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest)
  # Tests may reach anything; the layers bind the libraries only.
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  if(NOT ARG_GUI AND NOT ARG_OWN_MAIN)
    target_link_libraries(${name} PRIVATE GTest::gtest_main)
  endif()
  target_compile_definitions(${name} PRIVATE
    QUILLMAR_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    QUILLMAR_BINARY_DIR="${PROJECT_BINARY_DIR}")
  add_test(NAME ${name} COMMAND ${name})
  set(env "")
  if(ARG_GUI)
    # The windows keep settings in quillmar.conf: never the user's own.
    list(APPEND env QT_QPA_PLATFORM=offscreen "XDG_CONFIG_HOME=${CMAKE_CURRENT_BINARY_DIR}/${name}-config")
  endif()
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${env}" LABELS "${ARG_LABELS}" TIMEOUT 300)
endfunction()

# quillmar_headers(TARGET FOLDER)
# Headers are included by their path from the tree's root ("records/make_st.h").
# Each library gets an include root of its own that holds links to its own
# folder's headers only (not those of the folders below it), so that a target
# sees the headers of the libraries it links and no others: a layering break
# fails the build instead of compiling.
function(quillmar_headers target folder)
  set(root ${PROJECT_BINARY_DIR}/include/${target})
  file(REMOVE_RECURSE ${root})
  file(MAKE_DIRECTORY ${root}/${folder})
  file(GLOB headers CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/${folder} ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  foreach(header IN LISTS headers)
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder}/${header} ${root}/${folder}/${header} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
