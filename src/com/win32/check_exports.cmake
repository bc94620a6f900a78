# Fails the build unless DLL exports DllGetClassObject, DllCanUnloadNow,
# DllRegisterServer and DllUnregisterServer undecorated (no @N suffix).
#   cmake -DOBJDUMP=... -DDLL=... -P check_exports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE table RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed")
endif()
foreach(entry DllGetClassObject DllCanUnloadNow DllRegisterServer DllUnregisterServer)
  if(NOT table MATCHES "\\] ${entry}\n")
    message(FATAL_ERROR "${DLL} does not export ${entry} undecorated")
  endif()
endforeach()
