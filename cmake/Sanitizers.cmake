# The sanitize configuration builds every target (ours and the tests) with ASan + UBSan,
# and makes any undefined-behaviour report fatal so that ctest sees it.
if(MORVEK_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer -g)
    add_link_options(-fsanitize=address,undefined)
endif()
