# Warnings as errors on our own code; applied target by target so that
# third-party headers and generated code are left alone.
function(zarnik_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
    # GCC 12 at -O3 reports -Wrestrict inside std::string's own inlined
    # copies (assigning or concatenating short strings) where no overlap can
    # happen (GCC bug 105329). With that compiler it stays a warning, so that
    # a Release build does not fail on library code; every other warning is
    # still an error.
    if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_GREATER_EQUAL 12
       AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
        target_compile_options(${target} PRIVATE -Wno-error=restrict)
    endif()
endfunction()

# One static library per subsystem folder, with an explicit file list.
function(zarnik_library target)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPENDS" ${ARGN})
    add_library(${target} STATIC ${ARG_SOURCES})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${ARG_DEPENDS})
    zarnik_warnings(${target})
endfunction()
