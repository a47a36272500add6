# vx_delayload(target dll): links target against a system DLL that is loaded at the first call
# of one of its functions rather than at process start.
function(vx_delayload target dll)
    if(MSVC)
        target_link_libraries(${target} PUBLIC ${dll} delayimp)
        target_link_options(${target} INTERFACE /DELAYLOAD:${dll}.dll)
        return()
    endif()
    if(NOT MINGW OR NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
        target_link_libraries(${target} PUBLIC ${dll})
        return()
    endif()
    # A delay-import library with every function of the ordinary import library.
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE implib OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${CMAKE_NM} ${implib} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed)
    string(REGEX MATCHALL " I __imp_[^\r\n]+" names "${symbols}")
    if(failed OR NOT names)
        message(FATAL_ERROR "no functions found in ${implib}")
    endif()
    set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
    foreach(n IN LISTS names)
        string(REPLACE " I __imp_" "" n "${n}")
        string(APPEND def "${n}\n")
    endforeach()
    set(dir ${CMAKE_BINARY_DIR}/delayload)
    file(WRITE ${dir}/${dll}.def.new "${def}")
    # Rewritten only when it changes, so that configuring again does not relink everything.
    file(COPY_FILE ${dir}/${dll}.def.new ${dir}/${dll}.def ONLY_IF_DIFFERENT)
    if(NOT EXISTS ${dir}/lib${dll}_delay.a OR ${dir}/${dll}.def IS_NEWER_THAN ${dir}/lib${dll}_delay.a)
        execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${dll}.def --dllname ${dll}.dll
                                --output-delaylib ${dir}/lib${dll}_delay.a
                        RESULT_VARIABLE failed)
        if(failed)
            message(FATAL_ERROR "dlltool could not make a delay-import library for ${dll}")
        endif()
    endif()
    # The loader's helper (__delayLoadHelper2) lives in mingwex, which every program links.
    target_link_libraries(${target} PUBLIC ${dir}/lib${dll}_delay.a)
endfunction()
