# pq_add_layer(NAME SOURCES ... [DEPS ...]): one static library per layer, named pq_<NAME>.
# Sources include each other as "layer/File.h" from the repository root.
function(pq_add_layer name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;SYSTEM_DEPS" ${ARGN})
    add_library(pq_${name} STATIC ${ARG_SOURCES})
    target_include_directories(pq_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(pq_${name} PUBLIC ${ARG_DEPS} ${ARG_SYSTEM_DEPS})
endfunction()

# pq_add_layer_tests(LAYER SOURCES ...): one GoogleTest executable per layer, each case a CTest entry.
function(pq_add_layer_tests layer)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;LABELS" ${ARGN})
    set(target test_${layer})
    add_executable(${target} ${ARG_SOURCES})
    target_link_libraries(${target} PRIVATE pq_${layer} ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${target} PRIVATE PQ_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    set(props "")
    if(ARG_LABELS)
        set(props PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${props})
endfunction()
