# `cpack -G DEB` in the build folder: velumina_<version>_amd64.deb of what `cmake --install`
# puts under /usr, its library dependencies computed from the program (dpkg-shlibdeps).
set(CPACK_PACKAGE_NAME velumina)
set(CPACK_PACKAGE_VENDOR "Quorlen Software")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "private menstruation and ovulation calendar")
set(CPACK_PACKAGE_DESCRIPTION
    "Velumina is a personal menstruation and ovulation calendar for one person.
It derives her cycles from the days she records and predicts the next cycle
start, the next ovulation and the chance of conception on each day, with
reminders ahead of the next cycle. Nothing leaves the computer: it has no
network function.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quorlen Software <velumina@quorlen.com>")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${VELUMINA_HOMEPAGE_URL})
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The offscreen and desktop platforms of Qt come in a package of their own; notify-send is the
# fallback of the reminders where no notification service answers on D-Bus.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libnotify-bin")
set(CPACK_DEBIAN_COMPRESSION_TYPE xz)
set(CPACK_GENERATOR DEB)
include(CPack)
