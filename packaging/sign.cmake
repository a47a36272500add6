# Signs FILE in place with an Authenticode signature (SHA-256) from the certificate the
# environment names, dated EPOCH:
#   VX_SIGN_CERT and VX_SIGN_KEY    PEM files (VX_SIGN_PASS when the key is encrypted), or
#   VX_SIGN_PFX and VX_SIGN_PASS    a PKCS#12 file and its password;
#   VX_SIGN_TIMESTAMP               an RFC 3161 time-stamp server, optional.
# The password is read from PASSFILE (dist.cmake writes it where only its owner can read it):
# a command line shows to every user of the machine.
#   cmake -DFILE= -DEPOCH= [-DPASSFILE=] [-DOSSLSIGNCODE=] -P sign.cmake
# With CHECK=1 instead of FILE it only checks that the settings name files that exist, and
# fails with a message that says what is wrong.
if(NOT OSSLSIGNCODE)
    set(OSSLSIGNCODE osslsigncode)
endif()

set(cert "$ENV{VX_SIGN_CERT}")
set(key "$ENV{VX_SIGN_KEY}")
set(pfx "$ENV{VX_SIGN_PFX}")
if(pfx AND (cert OR key))
    message(FATAL_ERROR "Set either VX_SIGN_PFX (with VX_SIGN_PASS) or VX_SIGN_CERT and VX_SIGN_KEY, not both")
elseif(pfx)
    set(files VX_SIGN_PFX)
    set(from -pkcs12 "${pfx}")
elseif(cert AND key)
    set(files VX_SIGN_CERT VX_SIGN_KEY)
    set(from -certs "${cert}" -key "${key}")
else()
    message(FATAL_ERROR "Signing needs VX_SIGN_CERT and VX_SIGN_KEY, or VX_SIGN_PFX and VX_SIGN_PASS")
endif()
foreach(var ${files})
    if(NOT EXISTS "$ENV{${var}}" OR IS_DIRECTORY "$ENV{${var}}")
        message(FATAL_ERROR "${var} names $ENV{${var}}, which is not a file")
    endif()
endforeach()
if(CHECK)
    return()
endif()

if(PASSFILE)
    list(APPEND from -readpass "${PASSFILE}")
endif()
set(stamp)
if(NOT "$ENV{VX_SIGN_TIMESTAMP}" STREQUAL "")
    set(stamp -ts "$ENV{VX_SIGN_TIMESTAMP}")
endif()
# Without -time the signature would carry the moment of signing, and no two builds would match.
file(REMOVE "${FILE}.signed")
execute_process(
    COMMAND ${OSSLSIGNCODE} sign ${from} -h sha256 -time ${EPOCH} ${stamp} -in "${FILE}" -out "${FILE}.signed"
    RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(failed)
    file(REMOVE "${FILE}.signed")
    string(STRIP "${out}" out)
    message(FATAL_ERROR "Could not sign ${FILE} with ${files}; osslsigncode says:\n${out}")
endif()
file(RENAME "${FILE}.signed" "${FILE}")
