# The Debian package (scripts/package.sh): cpack -G DEB in the build folder
# writes tessaline_<version>_<arch>.deb from the install rules of share/share.cmake.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Tessaline developers <developers@tessaline.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "wizard that turns a database table into a web application")
set(CPACK_PACKAGE_DESCRIPTION
    "Tessaline walks through ten steps in one window, from a database table\n\
(SQLite, PostgreSQL, MariaDB or any ODBC source, Access, Excel, dBase or\n\
text files) to a project file, and generates a classic ASP web application\n\
from it: list, add, edit, delete, search, print, export and login pages\n\
framed by an HTML template.\n\
.\n\
The package holds the wizard (ordwick), the command-line generator\n\
(ordwick-generate) and a local preview host for the generated sites\n\
(ordwick-preview).")
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION devel)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The databases beyond SQLite files are reached through these drivers, and the
# browser and help are opened with xdg-open; the programs run without them.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "odbc-postgresql, odbc-mariadb, libsqliteodbc, xdg-utils")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# CPack installs from the build as it stands (scripts/package.sh builds first), so
# the package test can run beside the other tests without building anything.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
include(CPack)
