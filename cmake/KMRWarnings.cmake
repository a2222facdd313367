# Warnings are errors in our own code; third-party headers come in as SYSTEM.
function(kmr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
endfunction()
