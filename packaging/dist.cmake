# Writes the release into OUT: the installer, the portable zip, SHA256SUMS and the winget and
# Scoop manifests, the same bytes from every build of one commit, and signed when the
# environment names a certificate (see sign.cmake). Run by the "dist" target:
#   cmake -DVERSION= -DEXE= -DSRC= -DSTAGE= -DOUT= -DMAKENSIS= -DPYTHON= -DHOST= -DPUBLISHER= -DLANGNSH=
#         [-DOSSLSIGNCODE=] -P dist.cmake
foreach(var VERSION EXE SRC STAGE OUT MAKENSIS PYTHON HOST PUBLISHER LANGNSH)
    if(NOT ${var})
        message(FATAL_ERROR "dist.cmake: ${var} is not set")
    endif()
endforeach()

set(setup vexolind-${VERSION}-setup.exe)
set(zip vexolind-${VERSION}-portable.zip)

# Written beside OUT and moved there whole at the end: a build that fails leaves no release in
# OUT, neither the last one nor half of this one.
set(partial ${OUT}.part)
file(REMOVE_RECURSE ${STAGE} ${OUT} ${partial})
file(MAKE_DIRECTORY ${STAGE} ${partial}/winget ${partial}/scoop)

function(fail why)
    file(REMOVE_RECURSE ${partial} ${STAGE}/private)
    message(FATAL_ERROR "${why}\nNo release was written to ${OUT}.")
endfunction()

# Every time stamp inside comes from the commit: SOURCE_DATE_EPOCH, by default its date.
set(epoch "$ENV{SOURCE_DATE_EPOCH}")
if(epoch STREQUAL "")
    execute_process(COMMAND git -C ${SRC} log -1 --format=%ct
                    OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(NOT epoch MATCHES "^[0-9]+$")
        fail("${SRC} is not a git checkout: set SOURCE_DATE_EPOCH to the release's date in seconds.")
    endif()
elseif(NOT epoch MATCHES "^[0-9]+$")
    fail("SOURCE_DATE_EPOCH is \"${epoch}\", not a number of seconds since 1970.")
endif()

set(sign)
if("$ENV{VX_SIGN_CERT}$ENV{VX_SIGN_KEY}$ENV{VX_SIGN_PFX}$ENV{VX_SIGN_PASS}$ENV{VX_SIGN_TIMESTAMP}" STREQUAL "")
    message(STATUS "Not signed: set VX_SIGN_CERT and VX_SIGN_KEY, or VX_SIGN_PFX and VX_SIGN_PASS, to sign")
else()
    if(NOT OSSLSIGNCODE)
        fail("Signing needs osslsigncode (apt-get install osslsigncode).")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -DCHECK=1 -P ${SRC}/packaging/sign.cmake RESULT_VARIABLE failed)
    if(failed)
        fail("The signing settings above are wrong.")
    endif()
    set(sign ${CMAKE_COMMAND} -DEPOCH=${epoch} -DOSSLSIGNCODE=${OSSLSIGNCODE})
    if(NOT "$ENV{VX_SIGN_PASS}" STREQUAL "")
        # A folder only its owner may enter before the password is written into it.
        set(private ${STAGE}/private)
        file(MAKE_DIRECTORY ${private})
        file(CHMOD ${private} DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE)
        file(WRITE ${private}/pass "$ENV{VX_SIGN_PASS}")
        list(APPEND sign -DPASSFILE=${private}/pass)
    endif()
endif()

# Signs a file in place, or stops the build.
function(signfile file)
    execute_process(COMMAND ${sign} -DFILE=${file} -P ${SRC}/packaging/sign.cmake RESULT_VARIABLE failed)
    if(failed)
        fail("Signing ${file} failed.")
    endif()
endfunction()

# What a Windows user opens in Notepad gets Windows line ends.
file(COPY_FILE ${EXE} ${STAGE}/vexolind.exe)
if(sign)
    signfile(${STAGE}/vexolind.exe)
endif()
configure_file(${SRC}/packaging/README.txt.in ${STAGE}/README.txt @ONLY NEWLINE_STYLE CRLF)
configure_file(${SRC}/LICENSE ${STAGE}/LICENSE.txt @ONLY NEWLINE_STYLE CRLF)

# Also dates the staged files, whose times the installer keeps.
execute_process(
    COMMAND ${PYTHON} ${SRC}/packaging/pack.py ${epoch} ${partial}/${zip}
            ${STAGE}/vexolind.exe ${STAGE}/README.txt ${STAGE}/LICENSE.txt
    RESULT_VARIABLE failed)
if(failed)
    fail("The zip could not be written (${failed}).")
endif()

set(signdef)
if(sign)
    # makensis runs it through the shell, %1 standing for the file to sign.
    list(JOIN sign "\" \"" signcmd)
    set(signdef "-DSIGN=\"${signcmd}\" \"-DFILE=%1\" -P \"${SRC}/packaging/sign.cmake\"")
endif()
execute_process(
    COMMAND ${MAKENSIS} -V2 -DVERSION=${VERSION} -DSTAGE=${STAGE} -DOUTFILE=${partial}/${setup}
            "-DPUBLISHER=${PUBLISHER}" -DLANGNSH=${LANGNSH} ${signdef} ${SRC}/packaging/vexolind.nsi
    RESULT_VARIABLE failed)
if(failed)
    fail("makensis failed (${failed}).")
endif()
file(REMOVE_RECURSE ${STAGE}/private)

set(sums "")
foreach(f ${setup} ${zip})
    file(SHA256 ${partial}/${f} hash)
    string(APPEND sums "${hash}  ${f}\n")
endforeach()
file(WRITE ${partial}/SHA256SUMS "${sums}")

set(DOWNLOADS https://${HOST}/software/vexolind)
file(SHA256 ${partial}/${setup} INSTALLER_SHA256)
string(TOUPPER ${INSTALLER_SHA256} INSTALLER_SHA256)
set(PACKAGE_ID Vexolind.vexolind)
set(INSTALLER_URL ${DOWNLOADS}/${setup})
foreach(kind "" .installer .locale.en-US)
    configure_file(${SRC}/packaging/winget/Vexolind.vexolind${kind}.yaml.in
                   ${partial}/winget/${PACKAGE_ID}${kind}.yaml @ONLY)
endforeach()
file(SHA256 ${partial}/${zip} ZIP_SHA256)
set(ZIP_URL ${DOWNLOADS}/${zip})
configure_file(${SRC}/packaging/scoop/vexolind.json.in ${partial}/scoop/vexolind.json @ONLY)

file(RENAME ${partial} ${OUT})
message(STATUS "Release ${VERSION} written to ${OUT}")
