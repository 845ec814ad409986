# pq_add_layer(NAME [DEPS ...] [SYSTEM_DEPS ...]): one static library per layer, named pq_<NAME>, built
# from every .cpp under the layer's folder. Sources include each other as "layer/File.h" from the
# repository root.
function(pq_add_layer name)
    cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM_DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_library(pq_${name} STATIC ${sources})
    target_include_directories(pq_${name} PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
    target_link_libraries(pq_${name} PUBLIC ${ARG_DEPS} ${ARG_SYSTEM_DEPS})
endfunction()

# pq_add_layer_tests(LAYER [DEPS ...] [LABELS ...]): one GoogleTest executable per layer, test_<LAYER>,
# built from tests/<LAYER>/*Test.cpp; each case is a CTest entry.
function(pq_add_layer_tests layer)
    cmake_parse_arguments(ARG "" "" "DEPS;LABELS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${layer}/*.cpp)
    set(target test_${layer})
    # Every test program keeps the caches of the programs it starts in a temporary folder.
    add_executable(${target} ${sources} ${PROJECT_SOURCE_DIR}/tests/TestCacheFolder.cpp)
    target_link_libraries(${target} PRIVATE pq_${layer} ${ARG_DEPS} GTest::gtest GTest::gtest_main GTest::gmock)
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${target} PRIVATE PQ_TEST_DATA_DIR="${PROJECT_SOURCE_DIR}/tests/data")
    set(props "")
    if(ARG_LABELS)
        set(props PROPERTIES LABELS "${ARG_LABELS}")
    endif()
    gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60 ${props})
endfunction()
