# CPack runs this after it has made the Debian package, before it copies it
# into the packages' folder. CPack dates the package's members and every
# file in it with the time of the build, and leaves the owners, the order of
# the members and the compressor to the build machine; this packs the same
# files again with dpkg-deb so that the same files give the same bytes:
# every file and folder dated SOURCE_DATE_EPOCH, or the last commit
# (PonderixSourceDate.cmake); owned by root; the permissions a umask of 022
# gives; the members in the order of their names (dpkg-deb's own); xz on one
# thread, whose output does not depend on the number of processors.
cmake_minimum_required(VERSION 3.25)

include(${CPACK_PONDERIX_SOURCE_DIR}/cmake/PonderixSourceDate.cmake)
ponderix_source_date(epoch ${CPACK_PONDERIX_SOURCE_DIR})

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    if(NOT package MATCHES "\\.deb$")
        continue()
    endif()
    set(tree ${CPACK_TOPLEVEL_DIRECTORY}/reproducible)
    file(REMOVE_RECURSE ${tree})
    execute_process(COMMAND dpkg-deb --raw-extract ${package} ${tree} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND chmod -R u+rwX,go+rX,go-w ${tree} COMMAND_ERROR_IS_FATAL ANY)
    execute_process(COMMAND find ${tree} -exec touch --no-dereference --date=@${epoch} {} +
        COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE ${package})
    execute_process(
        COMMAND env SOURCE_DATE_EPOCH=${epoch}
            dpkg-deb --root-owner-group -Zxz --threads-max=1 --build ${tree} ${package}
        OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
    file(REMOVE_RECURSE ${tree})
endforeach()
