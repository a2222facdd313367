# Sanitizers apply to the whole build so libraries and tests agree on the runtime.
if(KMR_SANITIZE)
  set(_kmr_san_flags -fsanitize=${KMR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_compile_options(${_kmr_san_flags} -g)
  add_link_options(${_kmr_san_flags})
endif()
