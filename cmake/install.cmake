# The Linux installation beside the programs' own rules: numerion-cli, the desktop entry, the
# icons, the AppStream metadata and the manual pages; then the Debian package made by CPack.
include(GNUInstallDirs)
set(NUMERION_DATA_DIR ${CMAKE_SOURCE_DIR}/data)

install(TARGETS numerion-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${NUMERION_DATA_DIR}/numerion.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${NUMERION_DATA_DIR}/org.numerion.Numerion.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${NUMERION_DATA_DIR}/man/numerion.1 ${NUMERION_DATA_DIR}/man/numerion-cli.1
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The icon: the drawn SVG, and PNGs made from it by whichever converter the machine has. Without
# one the menus scale the SVG themselves, so the build goes on without the PNGs.
set(NUMERION_ICON_SVG ${NUMERION_DATA_DIR}/numerion.svg)
set(NUMERION_ICON_SIZES 16 22 24 32 48 64 128 256)
install(FILES ${NUMERION_ICON_SVG} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
find_program(NUMERION_RSVG_CONVERT rsvg-convert)
find_program(NUMERION_IMAGEMAGICK NAMES magick convert)
set(NUMERION_PNG_ICONS)
foreach(size ${NUMERION_ICON_SIZES})
  set(png ${CMAKE_BINARY_DIR}/icons/${size}x${size}/numerion.png)
  if(NUMERION_RSVG_CONVERT)
    set(convert_command ${NUMERION_RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${NUMERION_ICON_SVG})
  elseif(NUMERION_IMAGEMAGICK)
    set(convert_command ${NUMERION_IMAGEMAGICK} -background none -density 384 ${NUMERION_ICON_SVG}
                        -resize ${size}x${size} PNG32:${png})
  else()
    break()
  endif()
  add_custom_command(OUTPUT ${png}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/icons/${size}x${size}
    COMMAND ${convert_command}
    DEPENDS ${NUMERION_ICON_SVG}
    VERBATIM)
  list(APPEND NUMERION_PNG_ICONS ${png})
  install(FILES ${png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
if(NUMERION_PNG_ICONS)
  add_custom_target(numerion_icons ALL DEPENDS ${NUMERION_PNG_ICONS})
else()
  message(STATUS "Neither rsvg-convert nor ImageMagick found: only the SVG icon is installed")
  add_custom_target(numerion_icons)
endif()

# cpack -G DEB in the build folder. The shared-library dependencies come from dpkg-shlibdeps
# where it exists; the platform plugins are a plugin of Qt, not a linked library, and are named.
set(CPACK_PACKAGE_NAME numerion)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Numerion contributors")
set(CPACK_PACKAGE_CONTACT "Numerion contributors <numerion@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "calculator for numbers of very high precision")
set(CPACK_PACKAGE_DESCRIPTION
    "Numerion calculates with up to 10,005 significant decimal digits, with big integers and
exact rationals: a scientific calculator, algebraic equations, linear systems, polynomials,
prime tests and prime factors, each in a window of its own, and numerion-cli for the terminal.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION math)
find_program(NUMERION_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(NUMERION_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libc6, libstdc++6, libgcc-s1, libqt6core6 (>= 6.4), libqt6gui6 (>= 6.4), libqt6widgets6 (>= 6.4), libedit2, qt6-qpa-plugins")
endif()
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
