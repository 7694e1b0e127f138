# Builds the Windows Installer package of Ponderix from packaging/windows/ponderix.wxs
# with wixl, so that the same files and the same SOURCE_DATE_EPOCH give the
# same bytes:
#
# - the product code is derived from the upgrade code and the version, so
#   each version has its own (a major upgrade) and a rebuild has the same;
# - the package code, which Windows takes for the identity of the package's
#   bytes, is derived from everything that goes in (the WiX source, the
#   files, the icon, the version, wixl's own version): another package never
#   has it, a rebuild always does;
# - the files are dated SOURCE_DATE_EPOCH in the cabinet, and the summary's
#   creation and save times are that time too (wixl writes the time of the
#   build and a random package code; cmake/stamp_msi.py puts these back).
#
# Run as:
#   cmake -DSOURCE_DIR=<source folder> -DFILES=<folder with ponderix.exe, LICENSE, README.txt>
#         -DVERSION=<version> -DEPOCH=<seconds> -DOUTPUT=<file.msi> -P PonderixMsi.cmake
# or included with those variables set (the CPack script of the Windows packages).
cmake_minimum_required(VERSION 3.25)

foreach(variable SOURCE_DIR FILES VERSION EPOCH OUTPUT)
    if(NOT DEFINED ${variable} OR "${${variable}}" STREQUAL "")
        message(FATAL_ERROR "PonderixMsi: ${variable} is not set")
    endif()
endforeach()

set(wxs ${SOURCE_DIR}/packaging/windows/ponderix.wxs)
set(icon ${SOURCE_DIR}/assets/ponderix.ico)
set(files ponderix.exe LICENSE README.txt)

file(STRINGS ${wxs} upgrade_line REGEX "<\\?define UpgradeCode = \"[0-9A-F-]+\"\\?>")
if(NOT upgrade_line MATCHES "\"([0-9A-F-]+)\"")
    message(FATAL_ERROR "PonderixMsi: ${wxs} defines no UpgradeCode")
endif()
set(upgrade_code ${CMAKE_MATCH_1})

find_program(wixl wixl REQUIRED)
find_program(touch touch REQUIRED)
set(python /usr/bin/python3)  # Debian's, which has GObject introspection

execute_process(COMMAND ${wixl} --version OUTPUT_VARIABLE wixl_version
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
file(SHA256 ${wxs} identity)
file(SHA256 ${icon} icon_hash)
string(APPEND identity " ${icon_hash} wixl ${wixl_version} ${VERSION}")
set(bytes 0)
foreach(file IN LISTS files)
    if(NOT EXISTS ${FILES}/${file})
        message(FATAL_ERROR "PonderixMsi: no ${FILES}/${file}")
    endif()
    file(SHA256 ${FILES}/${file} hash)
    string(APPEND identity " ${file} ${hash}")
    file(SIZE ${FILES}/${file} size)
    math(EXPR bytes "${bytes} + ${size}")
endforeach()
math(EXPR size_kb "(${bytes} + 1023) / 1024")
string(UUID product_code NAMESPACE ${upgrade_code} NAME "ProductCode ${VERSION}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${upgrade_code} NAME "PackageCode ${identity}" TYPE SHA1 UPPER)

# The cabinet dates each file with its modification time.
set(work ${OUTPUT}.files)
file(REMOVE_RECURSE ${work})
file(MAKE_DIRECTORY ${work})
foreach(file IN LISTS files)
    file(COPY_FILE ${FILES}/${file} ${work}/${file})
endforeach()
file(COPY_FILE ${icon} ${work}/ponderix.ico)
execute_process(COMMAND ${touch} --date=@${EPOCH} ${files} ponderix.ico
    WORKING_DIRECTORY ${work} COMMAND_ERROR_IS_FATAL ANY)

# wixl looks up a source file by a relative name only: in the current folder
# first, then beside the WiX source.
get_filename_component(work_parent ${work} DIRECTORY)
get_filename_component(work_name ${work} NAME)
execute_process(
    COMMAND ${wixl} --arch x64 --output ${OUTPUT}
        -D Version=${VERSION} -D ProductCode=${product_code} -D Files=${work_name}
        -D Icon=${work_name}/ponderix.ico -D SizeKb=${size_kb} ${wxs}
    WORKING_DIRECTORY ${work_parent}
    COMMAND_ERROR_IS_FATAL ANY)
execute_process(
    COMMAND ${python} ${CMAKE_CURRENT_LIST_DIR}/stamp_msi.py ${OUTPUT} {${package_code}} ${EPOCH}
    COMMAND_ERROR_IS_FATAL ANY)
file(REMOVE_RECURSE ${work})
