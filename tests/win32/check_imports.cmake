# Fails unless the program imports Windows system DLLs only.
cmake_minimum_required(VERSION 3.25)
# cmake -DOBJDUMP=<objdump> -DPROGRAM=<zimblet.exe> -P check_imports.cmake
execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${PROGRAM} failed")
endif()

string(REGEX MATCHALL "DLL Name: [^\r\n]+" lines "${dump}")
if(NOT lines)
    message(FATAL_ERROR "no imported DLLs listed for ${PROGRAM}")
endif()

set(system_dlls advapi32.dll gdi32.dll kernel32.dll msvcrt.dll ntdll.dll user32.dll winmm.dll)
foreach(line IN LISTS lines)
    string(REPLACE "DLL Name: " "" dll "${line}")
    string(STRIP "${dll}" dll)
    string(TOLOWER "${dll}" name)
    message(STATUS "imports ${dll}")
    if(NOT name IN_LIST system_dlls AND NOT name MATCHES "^api-ms-win-")
        message(FATAL_ERROR "${PROGRAM} imports ${dll}, which is not a Windows system DLL")
    endif()
endforeach()
