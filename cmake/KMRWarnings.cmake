# Warnings are errors in our own code; third-party headers come in as SYSTEM.
# GCC 12 at -O2 reports array-bounds / stringop / restrict findings inside inlined
# standard-library code that are false positives; they stay warnings.
function(kmr_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wno-unused-parameter)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-error=array-bounds -Wno-error=stringop-overflow
                                             -Wno-error=stringop-truncation -Wno-error=restrict)
  endif()
endfunction()
