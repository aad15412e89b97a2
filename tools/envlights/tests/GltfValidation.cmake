# Installs the Khronos glTF validator (npm package gltf-validator) into NPM_DIR when it is not
# there yet, writes envlights' glTF outputs for a few cases into WORK_DIR and validates each:
# any error, or a validator that cannot be installed or run, fails the test.
#   cmake -DENVLIGHTS=<program> -DHDRI_DIR=<folder> -DNPM_DIR=<folder> -DWORK_DIR=<folder>
#         -DVALIDATE=<validateGltf.cjs> -P GltfValidation.cmake
foreach(var ENVLIGHTS HDRI_DIR NPM_DIR WORK_DIR VALIDATE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "GltfValidation: ${var} is not set")
    endif()
endforeach()
set(version 2.0.0-dev.3.10)

find_program(NODE node)
find_program(NPM npm)
if(NOT NODE OR NOT NPM)
    message(FATAL_ERROR "GltfValidation: node and npm are needed (Debian: nodejs npm)")
endif()
set(package "${NPM_DIR}/node_modules/gltf-validator/package.json")
if(EXISTS "${package}")
    file(READ "${package}" manifest)
    string(JSON installed ERROR_VARIABLE ignored GET "${manifest}" version)
endif()
if(NOT installed STREQUAL version)
    file(MAKE_DIRECTORY "${NPM_DIR}")
    execute_process(
        COMMAND "${NPM}" install --prefix "${NPM_DIR}" --no-save --no-audit --no-fund
            "gltf-validator@${version}"
        RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0 OR NOT EXISTS "${package}")
        message(FATAL_ERROR "GltfValidation: npm could not install gltf-validator@${version} "
            "(is the npm registry reachable?): ${err}")
    endif()
endif()

file(REMOVE_RECURSE "${WORK_DIR}")
file(MAKE_DIRECTORY "${WORK_DIR}")
# name | envlights arguments (a list separated by '|' within each case)
set(cases
    "sky-16|-n|16"
    "sky-0|-n|0"
    "sunset-1|${HDRI_DIR}/sunset.exr|-n|1"
    "sunset-64-turned|${HDRI_DIR}/sunset.exr|-n|64|--rotate|-30|--irradiance-scale|683"
    "two-images|${HDRI_DIR}/forest.exr|${HDRI_DIR}/interior.exr|-n|8")
set(files)
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" args "${case}")
    list(POP_FRONT args name)
    set(file "${WORK_DIR}/${name}.gltf")
    execute_process(COMMAND "${ENVLIGHTS}" ${args} --format gltf -o "${file}"
        RESULT_VARIABLE status ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "GltfValidation: envlights ${args} failed (exit ${status}): ${err}")
    endif()
    list(APPEND files "${file}")
endforeach()

execute_process(
    COMMAND "${CMAKE_COMMAND}" -E env "NODE_PATH=${NPM_DIR}/node_modules" "${NODE}" "${VALIDATE}"
        ${files}
    RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "GltfValidation: the validator reported errors (exit ${status})")
endif()
list(LENGTH files count)
message(STATUS "GltfValidation: ${count} glTF files, no error")
