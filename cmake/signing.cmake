# Code signing of the Windows build's outputs with osslsigncode: with a
# certificate and its private key, the DLL is signed as it is linked (so the
# package carries the signed file) and the package as it is written.
# ./run build takes both from the environment (ZEL_SIGN_CERT, ZEL_SIGN_KEY,
# ZEL_SIGN_TIMESTAMP_URL); without them the build signs nothing.
set(ZEL_SIGN_CERT "" CACHE FILEPATH "Code signing certificate (PEM or DER): signs the DLL and the package")
set(ZEL_SIGN_KEY "" CACHE FILEPATH "The certificate's private key (PEM or DER, not encrypted)")
set(ZEL_SIGN_TIMESTAMP_URL "" CACHE STRING "RFC 3161 time-stamping server for the signatures (optional)")

set(ZEL_SIGNING OFF)
if(ZEL_SIGN_CERT OR ZEL_SIGN_KEY)
  if(NOT WIN32)
    message(FATAL_ERROR "ZEL_SIGN_CERT, ZEL_SIGN_KEY: only the Windows build signs its outputs")
  endif()
  foreach(file ZEL_SIGN_CERT ZEL_SIGN_KEY)
    if(NOT IS_ABSOLUTE "${${file}}" OR NOT EXISTS "${${file}}")
      message(FATAL_ERROR "${file} \"${${file}}\": signing needs the certificate and its key, each as an existing "
        "file named by its full path")
    endif()
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
    set(commands
      COMMAND ${ZEL_OSSLSIGNCODE} sign -certs ${ZEL_SIGN_CERT} -key ${ZEL_SIGN_KEY} -h sha256
        -n ${ZEL_PRODUCT_NAME} -i ${ZEL_ABOUT_URL} ${timestamp} -in ${file} -out ${file}.signed
      COMMAND ${CMAKE_COMMAND} -E rename ${file}.signed ${file})
  endif()
  set(${out} ${commands} PARENT_SCOPE)
endfunction()
