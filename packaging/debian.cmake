# `make package`: a Debian package of the program built by CPack. dpkg-shlibdeps (dpkg-dev)
# works out the shared-library dependencies, which bring in the Qt runtime; the X11 and
# offscreen platform plugins come with libqt6gui6, Wayland with qt6-wayland.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvanto)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Kelvanto developers")
set(CPACK_PACKAGE_CONTACT "Kelvanto developers <developers@kelvanto.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "network traffic monitor with a live tray graph")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Kelvanto reads the byte counters of the network adapters once a second and
shows the download and upload rates, peaks, averages and the amounts of named
periods in a small floating window and as a two-bar graph in the
notification area. It logs the traffic per adapter per day and per minute,
lists it by day, week, month and year, exports it as text or HTML, and runs
alert rules that send a mail, play a sound or run a program.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION net)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Files in /usr belong to root, whoever builds the package.
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
