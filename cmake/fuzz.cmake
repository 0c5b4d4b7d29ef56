# libFuzzer targets of the platform-free code. GCC has no libFuzzer, so they are built with clang
# beside the host build, under AddressSanitizer and UndefinedBehaviorSanitizer. ctest runs each
# for a bounded number of inputs; `make fuzz` (scripts/fuzz.sh) runs them for longer.
find_program(INKWISP_CLANGXX NAMES clang++ clang++-14)
if(NOT INKWISP_CLANGXX)
    message(FATAL_ERROR "clang++ not found: the fuzz targets cannot be built "
                        "(scripts/deps.sh installs clang and libclang-rt-14-dev)")
endif()

# inkwisp_fuzz_target(name RUNS n SOURCES files... HEADERS files... [SEEDS files...]), paths
# relative to the source root; the executable is build/host/fuzz/<name>.
function(inkwisp_fuzz_target name)
    cmake_parse_arguments(FUZZ "" "RUNS" "SOURCES;HEADERS;SEEDS" ${ARGN})
    set(fuzzer ${CMAKE_BINARY_DIR}/fuzz/${name})
    list(TRANSFORM FUZZ_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
    list(TRANSFORM FUZZ_HEADERS PREPEND ${CMAKE_SOURCE_DIR}/)
    list(TRANSFORM FUZZ_SEEDS PREPEND ${CMAKE_SOURCE_DIR}/)
    add_custom_command(OUTPUT ${fuzzer}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/fuzz
        COMMAND ${INKWISP_CLANGXX} -std=c++17 -g -O1 -fsanitize=fuzzer,address,undefined
                -fno-sanitize-recover=all -I${CMAKE_SOURCE_DIR} ${FUZZ_SOURCES} -o ${fuzzer}
        DEPENDS ${FUZZ_SOURCES} ${FUZZ_HEADERS}
        VERBATIM)
    add_custom_target(${name} ALL DEPENDS ${fuzzer})
    set(seedOption)
    if(FUZZ_SEEDS)
        list(JOIN FUZZ_SEEDS "," seeds)
        set(seedOption -seed_inputs=${seeds})
    endif()
    add_test(NAME ${name}
             COMMAND ${fuzzer} -runs=${FUZZ_RUNS} -max_total_time=60 -seed=1 -max_len=2048
                     ${seedOption}
             WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    set_tests_properties(${name} PROPERTIES LABELS host)
endfunction()
