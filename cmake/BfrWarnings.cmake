# Warnings for every target of the project: bfr_warnings(<target>).
function(bfr_warnings target)
    if(MSVC)
        target_compile_options(${target} PRIVATE /W4 $<$<BOOL:${BFR_WERROR}>:/WX>)
    else()
        target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic
                               $<$<BOOL:${BFR_WERROR}>:-Werror>)
    endif()
endfunction()
