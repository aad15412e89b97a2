# Runs envlights with the node method on every repository HDRI and compares its output byte for
# byte with the outputs recorded in fixtures/ (<image>-<n>.json and .txt for n = 1, 16, 64, 256;
# .x3d for n = 16). Any refactoring of the pool, the sampling library or the tool must leave them
# unchanged.
#   cmake -DENVLIGHTS=<program> -DHDRI_DIR=<folder> -DFIXTURES=<folder> -P CompareFixtures.cmake
foreach(var ENVLIGHTS HDRI_DIR FIXTURES)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "CompareFixtures: ${var} is not set")
    endif()
endforeach()

set(failures 0)
set(compared 0)
file(GLOB fixtures RELATIVE "${FIXTURES}" "${FIXTURES}/*-*.*")
foreach(fixture IN LISTS fixtures)
    if(NOT fixture MATCHES "^([a-z]+)-([0-9]+)\\.(json|txt|x3d)$")
        continue()
    endif()
    set(image "${CMAKE_MATCH_1}.exr")
    set(count "${CMAKE_MATCH_2}")
    set(format table)
    if(CMAKE_MATCH_3 STREQUAL "json")
        set(format json)
    elseif(CMAKE_MATCH_3 STREQUAL "x3d")
        set(format x3d)
    endif()
    # The image is named relative to its folder, as it was when the fixtures were recorded.
    execute_process(
        COMMAND "${ENVLIGHTS}" "${image}" --method node -n "${count}" --format "${format}"
        WORKING_DIRECTORY "${HDRI_DIR}"
        OUTPUT_VARIABLE got ERROR_VARIABLE errors RESULT_VARIABLE status)
    file(READ "${FIXTURES}/${fixture}" expected)
    math(EXPR compared "${compared} + 1")
    if(NOT status EQUAL 0 OR NOT got STREQUAL expected)
        math(EXPR failures "${failures} + 1")
        message(SEND_ERROR "${fixture}: envlights ${image} --method node -n ${count} "
            "--format ${format} differs from the recorded output (exit ${status}) ${errors}")
    endif()
endforeach()
if(compared LESS 45)
    message(FATAL_ERROR "CompareFixtures: only ${compared} fixtures found in ${FIXTURES}")
endif()
message(STATUS "CompareFixtures: ${compared} outputs compared, ${failures} differ")
