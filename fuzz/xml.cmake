# libFuzzer target for XML documents: flash scripts, upload scripts, compound content files.
kmr_add_fuzzer(fuzz_xml_document
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_xml_document.cpp
  LIBS KMRXML)
# Coverage feedback from inside the library, not only from the target's own code.
target_compile_options(KMRXML PRIVATE -fsanitize=fuzzer-no-link)
