# CPack's External generator runs this once it has staged the Windows
# program's files (the stripped ponderix.exe, LICENSE, README.txt), and copies
# what it makes into the packages' folder:
#
# - ponderix-<version>-win64.zip, the files to unpack anywhere
#   (cmake/reproducible_zip.py);
# - ponderix-<version>-win64.msi, the Windows Installer package that installs
#   them for the user who runs it (cmake/PonderixMsi.cmake).
#
# Both are dated SOURCE_DATE_EPOCH, or the last commit (PonderixSourceDate.cmake),
# and depend on nothing else of the build: the same files give the same bytes.
cmake_minimum_required(VERSION 3.25)

set(SOURCE_DIR ${CPACK_PONDERIX_SOURCE_DIR})
include(${SOURCE_DIR}/cmake/PonderixSourceDate.cmake)
ponderix_source_date(EPOCH ${SOURCE_DIR})

# CPack stages each component into a folder of its own; there is one, Program.
set(FILES ${CPACK_TEMPORARY_DIRECTORY}/Program)
if(NOT EXISTS ${FILES}/ponderix.exe)
    message(FATAL_ERROR "No ponderix.exe staged in ${FILES}")
endif()

set(zip ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.zip)
execute_process(
    COMMAND /usr/bin/python3 ${SOURCE_DIR}/cmake/reproducible_zip.py ${zip} ${FILES} ${EPOCH}
    COMMAND_ERROR_IS_FATAL ANY)

set(VERSION ${CPACK_PACKAGE_VERSION})
set(OUTPUT ${CPACK_TOPLEVEL_DIRECTORY}/${CPACK_PACKAGE_FILE_NAME}.msi)
include(${SOURCE_DIR}/cmake/PonderixMsi.cmake)

set(CPACK_EXTERNAL_BUILT_PACKAGES ${zip} ${OUTPUT})
