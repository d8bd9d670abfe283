# SPDX-License-Identifier: GPL-3.0-or-later
# One place that gives every target of the project the same language level, warnings and
# sanitizer switches.

function(floemaze_target_options target)
    target_compile_features(${target} PUBLIC cxx_std_20)
    set_target_properties(${target} PROPERTIES CXX_EXTENSIONS OFF)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
    if(FLOEMAZE_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
    if(FLOEMAZE_SANITIZE)
        target_compile_options(${target} PRIVATE -fsanitize=${FLOEMAZE_SANITIZE}
                               -fno-omit-frame-pointer -fno-sanitize-recover=all)
        target_link_options(${target} PUBLIC -fsanitize=${FLOEMAZE_SANITIZE})
    endif()
endfunction()

# floemaze_add_library(name SOURCES...): a static library whose headers are included from the
# repository root ("sprites/Sprite.h").
function(floemaze_add_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC $<BUILD_INTERFACE:${PROJECT_SOURCE_DIR}>)
    floemaze_target_options(${name})
endfunction()

function(floemaze_add_executable name)
    add_executable(${name} ${ARGN})
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    floemaze_target_options(${name})
endfunction()
