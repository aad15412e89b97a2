# The fuzz configuration instruments every target for libFuzzer's coverage guidance and builds
# it with ASan + UBSan, any undefined-behaviour report fatal; the fuzz programs in fuzz/ add
# libFuzzer's own main. Clang only.
if(MORVEK_BUILD_FUZZERS)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "MORVEK_BUILD_FUZZERS needs clang (CXX=clang++), not "
                            "${CMAKE_CXX_COMPILER_ID}")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()
