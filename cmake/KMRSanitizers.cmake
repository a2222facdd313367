# Sanitizers apply to the whole build so libraries and tests agree on the runtime.
if(KMR_SANITIZE)
  set(_kmr_san_flags -fsanitize=${KMR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${_kmr_san_flags} -g)
  add_link_options(${_kmr_san_flags})
endif()

# Fuzz builds instrument every library for coverage, so libFuzzer sees the branches
# of the parsers it feeds, not only those of the fuzz target itself.
if(KMR_BUILD_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
