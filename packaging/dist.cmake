# Writes the release into OUT: the installer, the portable zip, SHA256SUMS and the winget
# manifests. Run by the "dist" target:
#   cmake -DVERSION= -DEXE= -DSRC= -DSTAGE= -DOUT= -DMAKENSIS= -DHOST= -DPUBLISHER= -P dist.cmake
foreach(var VERSION EXE SRC STAGE OUT MAKENSIS HOST PUBLISHER)
    if(NOT ${var})
        message(FATAL_ERROR "dist.cmake: ${var} is not set")
    endif()
endforeach()

set(setup vexolind-${VERSION}-setup.exe)
set(zip vexolind-${VERSION}-portable.zip)

file(REMOVE_RECURSE ${STAGE} ${OUT})
file(MAKE_DIRECTORY ${STAGE} ${OUT}/winget)

# What a Windows user opens in Notepad gets Windows line ends.
file(COPY_FILE ${EXE} ${STAGE}/vexolind.exe)
configure_file(${SRC}/packaging/README.txt.in ${STAGE}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${SRC}/LICENSE ${STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

execute_process(
    COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DOUTFILE=${OUT}/${setup}
            "-DPUBLISHER=${PUBLISHER}" ${SRC}/packaging/vexolind.nsi
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "makensis failed (${failed})")
endif()

execute_process(
    COMMAND ${CMAKE_COMMAND} -E tar cf ${OUT}/${zip} --format=zip vexolind.exe README.txt LICENSE.txt
    WORKING_DIRECTORY ${STAGE}
    RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "zip failed (${failed})")
endif()

set(sums "")
foreach(f ${setup} ${zip})
    file(SHA256 ${OUT}/${f} hash)
    string(APPEND sums "${hash}  ${f}\n")
endforeach()
file(WRITE ${OUT}/SHA256SUMS "${sums}")

file(SHA256 ${OUT}/${setup} INSTALLER_SHA256)
string(TOUPPER ${INSTALLER_SHA256} INSTALLER_SHA256)
set(PACKAGE_ID Vexolind.vexolind)
set(INSTALLER_URL https://${HOST}/software/vexolind/${setup})
foreach(part "" .installer .locale.en-US)
    configure_file(${SRC}/packaging/winget/Vexolind.vexolind${part}.yaml.in
                   ${OUT}/winget/${PACKAGE_ID}${part}.yaml @ONLY)
endforeach()

message(STATUS "Release ${VERSION} written to ${OUT}")
