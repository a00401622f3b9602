# The data that ships with the programs. share/ mirrors where it is installed
# under the prefix: share/tessaline/ is the programs' own data (templates, help,
# the sample database's SQL), the rest follows the freedesktop and Debian
# conventions (desktop entry, file type, icons, AppStream, manual pages, doc).
set(ORDWICK_SHARE_SOURCE ${CMAKE_CURRENT_SOURCE_DIR}/share)
# Whatever the umask of the machine that packs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
    OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(ORDWICK_DESKTOP_ID org.tessaline.ordwick)

# The build folder's share/tessaline, read by the programs in bin/. The copy
# keeps the files' times and skips files already there, so a build that
# changed nothing rewrites nothing under running tests.
add_custom_target(ordwick_data ALL
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${ORDWICK_SHARE_SOURCE}/tessaline/template
            -DDESTINATION=${ORDWICK_DATA_DIR} -P ${ORDWICK_SHARE_SOURCE}/copydata.cmake
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${ORDWICK_SHARE_SOURCE}/tessaline/help
            -DDESTINATION=${ORDWICK_DATA_DIR} -P ${ORDWICK_SHARE_SOURCE}/copydata.cmake
    COMMAND ${CMAKE_COMMAND} -DSOURCE=${ORDWICK_SHARE_SOURCE}/icons
            -DDESTINATION=${CMAKE_BINARY_DIR}/${CMAKE_INSTALL_DATADIR} -P ${ORDWICK_SHARE_SOURCE}/copydata.cmake
    COMMENT "Copying the shipped templates, help and icons into the build folder")
add_dependencies(ordwick_data ordwick_samples)

# Manual pages and the changelog are installed compressed, without time stamps
# (Debian policy).
set(ORDWICK_COMPRESSED)
foreach(source man/man1/ordwick.1 man/man1/ordwick-generate.1 man/man1/ordwick-preview.1
               doc/tessaline/changelog)
    set(output ${CMAKE_CURRENT_BINARY_DIR}/share/${source}.gz)
    get_filename_component(folder ${output} DIRECTORY)
    add_custom_command(
        OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${folder}
        COMMAND sh -c "gzip -9n -c \"$1\" > \"$2\"" gzip ${ORDWICK_SHARE_SOURCE}/${source} ${output}
        DEPENDS ${ORDWICK_SHARE_SOURCE}/${source}
        VERBATIM)
    list(APPEND ORDWICK_COMPRESSED ${output})
endforeach()
add_custom_target(ordwick_compressed_docs ALL DEPENDS ${ORDWICK_COMPRESSED})

install(TARGETS ordwick ordwick-generate ordwick-preview RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Loaded by path, never linked: a private library needs no execute bit.
install(TARGETS ordwick-engine
    LIBRARY DESTINATION ${ORDWICK_ENGINE_INSTALL_DIR}
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
install(DIRECTORY ${ORDWICK_SHARE_SOURCE}/tessaline/template ${ORDWICK_SHARE_SOURCE}/tessaline/help
    DESTINATION ${ORDWICK_DATA_INSTALL_DIR})
install(FILES ${ORDWICK_SAMPLE_DATABASE} DESTINATION ${ORDWICK_DATA_INSTALL_DIR}/samples)
install(FILES ${ORDWICK_SHARE_SOURCE}/applications/${ORDWICK_DESKTOP_ID}.desktop
    DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${ORDWICK_SHARE_SOURCE}/metainfo/${ORDWICK_DESKTOP_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${ORDWICK_SHARE_SOURCE}/mime/packages/tessaline.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(DIRECTORY ${ORDWICK_SHARE_SOURCE}/icons DESTINATION ${CMAKE_INSTALL_DATADIR})
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/share/man/man1/ordwick.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/share/man/man1/ordwick-generate.1.gz
              ${CMAKE_CURRENT_BINARY_DIR}/share/man/man1/ordwick-preview.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${ORDWICK_SHARE_SOURCE}/doc/tessaline/copyright
              ${CMAKE_CURRENT_BINARY_DIR}/share/doc/tessaline/changelog.gz
    DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tessaline)
