# pq_system_libs(OUT SHARED <targets or files> STATIC <archive names>): the system libraries a layer links,
# for target_link_libraries. A program whose PQ_STATIC_SYSTEM_LIBS property is on gets the static archives
# named (libNAME.a, in link order, their own dependencies included) in place of the shared libraries:
# a short-lived command-line program then loads and relocates no libraries but the C library's at each
# start. Where an archive is missing every program links the shared libraries.
function(pq_system_libs out)
    cmake_parse_arguments(ARG "" "" "SHARED;STATIC" ${ARGN})
    set(archives "")
    foreach(name IN LISTS ARG_STATIC)
        find_library(PQ_STATIC_${name} NAMES lib${name}.a)
        if(NOT PQ_STATIC_${name})
            set(${out} ${ARG_SHARED} PARENT_SCOPE)
            return()
        endif()
        list(APPEND archives ${PQ_STATIC_${name}})
    endforeach()
    set(static "$<BOOL:$<TARGET_PROPERTY:PQ_STATIC_SYSTEM_LIBS>>")
    set(libs "")
    foreach(lib IN LISTS ARG_SHARED)
        list(APPEND libs "$<$<NOT:${static}>:${lib}>")
    endforeach()
    foreach(archive IN LISTS archives)
        list(APPEND libs "$<${static}:${archive}>")
    endforeach()
    set(${out} ${libs} PARENT_SCOPE)
endfunction()
