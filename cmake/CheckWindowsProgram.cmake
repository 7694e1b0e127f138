# Fails unless a Windows program loads nothing from its own folder and keeps
# the defences Windows gives every program that asks for them:
#
# - every DLL its import table names is a Known DLL, one that Windows always
#   maps from System32 (the session manager's KnownDLLs, on every Windows from
#   7 to 11). Any other DLL is looked up in the program's folder first, so a
#   file of that name lying beside the program (in a Downloads folder, say)
#   would run its code at start;
# - its header asks for address space layout randomisation (DYNAMIC_BASE),
#   with 64-bit entropy (HIGH_ENTROPY_VA), and for data execution prevention
#   (NX_COMPAT).
#
# Run as: cmake -DPROGRAM=<exe> [-DOBJDUMP=<objdump for PE files>] -P CheckWindowsProgram.cmake
# Prints the DLLs and the flags it read; on a fault, every fault found.
cmake_minimum_required(VERSION 3.25)

if(NOT PROGRAM OR NOT EXISTS "${PROGRAM}")
    message(FATAL_ERROR "CheckWindowsProgram: no program '${PROGRAM}'")
endif()
if(NOT OBJDUMP)
    set(OBJDUMP x86_64-w64-mingw32-objdump)
endif()

# The Known DLLs that Windows 7, 8, 8.1, 10 and 11 all list, in lower case.
set(known_dlls
    advapi32 clbcatq comdlg32 difxapi gdi32 imagehlp imm32 kernel32 msctf msvcrt normaliz
    nsi ole32 oleaut32 psapi rpcrt4 sechost setupapi shell32 shlwapi user32 wldap32 ws2_32)

execute_process(COMMAND "${OBJDUMP}" -p "${PROGRAM}"
    OUTPUT_VARIABLE header ERROR_VARIABLE error RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "CheckWindowsProgram: ${OBJDUMP} cannot read ${PROGRAM}: ${error}")
endif()

set(faults "")
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${header}")
if(NOT imports)
    list(APPEND faults "no import table")
endif()
set(dlls "")
foreach(import IN LISTS imports)
    string(REGEX REPLACE "^DLL Name: ([^ \t\r]+).*$" "\\1" dll "${import}")
    list(APPEND dlls "${dll}")
    string(TOLOWER "${dll}" name)
    string(REGEX REPLACE "\\.dll$" "" name "${name}")
    if(NOT name IN_LIST known_dlls)
        list(APPEND faults "imports ${dll}, which is no Known DLL")
    endif()
endforeach()

if(NOT header MATCHES "DllCharacteristics[ \t]+([0-9a-fA-F]+)")
    list(APPEND faults "no DllCharacteristics in the optional header")
endif()
set(flags "")
foreach(flag DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT)
    if(header MATCHES "\n[ \t]+${flag}[ \t\r]*\n")
        list(APPEND flags ${flag})
    else()
        list(APPEND faults "no ${flag} in the header")
    endif()
endforeach()

list(JOIN dlls " " dll_text)
list(JOIN flags " " flag_text)
message(STATUS "imports: ${dll_text}")
message(STATUS "header: ${flag_text}")
if(faults)
    list(JOIN faults "; " fault_text)
    message(FATAL_ERROR "CheckWindowsProgram: ${PROGRAM}: ${fault_text}")
endif()
