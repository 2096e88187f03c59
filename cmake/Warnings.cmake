# One warning policy for both compilers.
function(shadowpane_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(SHADOWPANE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
