# Code signing of the Windows build's outputs with osslsigncode: with a
# certificate and its private key, the DLL is signed as it is linked (so the
# package carries the signed file) and the package as it is written.
# ./run build takes both from the environment (ZEL_SIGN_CERT, ZEL_SIGN_KEY,
# ZEL_SIGN_PKCS11_MODULE, ZEL_SIGN_PKCS11_ENGINE, ZEL_SIGN_TIMESTAMP_URL);
# without them the build signs nothing.
set(ZEL_SIGN_CERT "" CACHE FILEPATH "Code signing certificate (PEM or DER): signs the DLL and the package")
set(ZEL_SIGN_KEY "" CACHE STRING
  "The certificate's private key: a file (PEM or DER, not encrypted), or with ZEL_SIGN_PKCS11_MODULE the key's PKCS#11 URI or id in the token")
set(ZEL_SIGN_PKCS11_MODULE "" CACHE FILEPATH "The hardware token's PKCS#11 module: the key stays in the token")
set(ZEL_SIGN_PKCS11_ENGINE "" CACHE FILEPATH "OpenSSL's PKCS#11 engine, when osslsigncode does not find its own")
set(ZEL_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server for the signatures (optional)")

set(ZEL_SIGNING OFF)
if(ZEL_SIGN_CERT OR ZEL_SIGN_KEY)
  if(NOT WIN32)
    message(FATAL_ERROR "ZEL_SIGN_CERT, ZEL_SIGN_KEY: only the Windows build signs its outputs")
  endif()
  # A key in a token is named by the token, not by a file here.
  set(files ZEL_SIGN_CERT ZEL_SIGN_KEY)
  if(ZEL_SIGN_PKCS11_MODULE)
    set(files ZEL_SIGN_CERT ZEL_SIGN_PKCS11_MODULE)
    if(ZEL_SIGN_PKCS11_ENGINE)
      list(APPEND files ZEL_SIGN_PKCS11_ENGINE)
    endif()
    if(NOT ZEL_SIGN_KEY)
      message(FATAL_ERROR "ZEL_SIGN_PKCS11_MODULE: ZEL_SIGN_KEY must name the key in the token (its PKCS#11 URI or id)")
    endif()
  endif()
  foreach(file ${files})
    if(NOT IS_ABSOLUTE "${${file}}" OR NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file} \"${${file}}\": signing needs the certificate and its key (or the token's "
        "PKCS#11 module), each as an existing file named by its full path")
    endif()
  endforeach()
  # The files a signature depends on: a new one signs again.
  set(ZEL_SIGN_INPUTS)
  foreach(file ${files})
    list(APPEND ZEL_SIGN_INPUTS ${${file}})
  endforeach()
  find_program(ZEL_OSSLSIGNCODE osslsigncode REQUIRED)
  set(ZEL_SIGNING ON)
  message(STATUS "Code signing with ${ZEL_SIGN_CERT}")
endif()

# Sets OUT to the commands that sign FILE in place (for add_custom_command),
# or to nothing when the build does not sign. FILE is written beside itself
# first, so that a failed signing leaves no half-written file behind.
function(zel_sign_commands out file)
  set(commands)
  if(ZEL_SIGNING)
    set(timestamp)
    if(ZEL_SIGN_TIMESTAMP_URL)
      set(timestamp -ts ${ZEL_SIGN_TIMESTAMP_URL})
    endif()
    set(token)
    if(ZEL_SIGN_PKCS11_MODULE)
      set(token -pkcs11module ${ZEL_SIGN_PKCS11_MODULE})
      if(ZEL_SIGN_PKCS11_ENGINE)
        list(PREPEND token -pkcs11engine ${ZEL_SIGN_PKCS11_ENGINE})
      endif()
    endif()
    set(commands
      COMMAND ${ZEL_OSSLSIGNCODE} sign ${token} -certs ${ZEL_SIGN_CERT} -key ${ZEL_SIGN_KEY} -h sha256
        -n ${ZEL_PRODUCT_NAME} -i ${ZEL_ABOUT_URL} ${timestamp} -in ${file} -out ${file}.signed
      COMMAND ${CMAKE_COMMAND} -E rename ${file}.signed ${file})
  endif()
  set(${out} ${commands} PARENT_SCOPE)
endfunction()
