# The Debian package: `cpack -G DEB` in the build folder (or `make package` at the top) makes
# quillomat_<version>_<arch>.deb from the install rules of the programs, the desktop entry and
# icons (res/), and the manual pages, AppStream metainfo, copyright and changelog below.
include(GNUInstallDirs)

set(QUILLOMAT_PACKAGE_MAINTAINER "Quillomat maintainers <quillomat@tarvo.example>" CACHE STRING
    "Maintainer named in the Debian package, its changelog and copyright file")

set(QUILLOMAT_PACKAGING_SRC ${CMAKE_SOURCE_DIR}/packaging)
set(QUILLOMAT_PACKAGING_OUT ${CMAKE_BINARY_DIR}/packaging)

# Fills in the version and maintainer; with GZIP, compresses the result as Debian wants its
# manual pages and changelogs: best compression, no name or time stamp in the header, so the
# same sources always give the same bytes. Runs at configure time; editing a source re-runs it.
function(quillomat_package_file source output)
  cmake_parse_arguments(F "GZIP" "" "" ${ARGN})
  set(VERSION ${PROJECT_VERSION})
  configure_file(${QUILLOMAT_PACKAGING_SRC}/${source} ${QUILLOMAT_PACKAGING_OUT}/${output} @ONLY)
  if(F_GZIP)
    execute_process(COMMAND gzip -9nf ${QUILLOMAT_PACKAGING_OUT}/${output}
                    RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "gzip could not compress ${output}")
    endif()
  endif()
endfunction()

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/quillomat)
quillomat_package_file(quillomat-cli.1 quillomat-cli.1 GZIP)
quillomat_package_file(copyright copyright)
# The package is native (its version is the project's, without a Debian revision), so its
# changelog is changelog.gz.
quillomat_package_file(changelog changelog GZIP)
install(FILES ${QUILLOMAT_PACKAGING_OUT}/quillomat-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${QUILLOMAT_PACKAGING_OUT}/copyright ${QUILLOMAT_PACKAGING_OUT}/changelog.gz
        DESTINATION ${doc_dir})
install(FILES ${QUILLOMAT_PACKAGING_SRC}/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides
        RENAME quillomat)
if(QUILLOMAT_GUI)
  quillomat_package_file(quillomat.1 quillomat.1 GZIP)
  quillomat_package_file(de.tarvo.Quillomat.metainfo.xml de.tarvo.Quillomat.metainfo.xml)
  install(FILES ${QUILLOMAT_PACKAGING_OUT}/quillomat.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${QUILLOMAT_PACKAGING_OUT}/de.tarvo.Quillomat.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The installed programs resolve every symbol at start, so their relocations can be read-only;
# the compilers' version notes (.comment), which stripping keeps, are dropped from the
# installed copies.
foreach(program quillomat quillomat-cli)
  if(TARGET ${program})
    target_link_options(${program} PRIVATE LINKER:-z,relro,-z,now)
    if(CMAKE_OBJCOPY)
      install(CODE "execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)")
    endif()
  endif()
endforeach()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quillomat)
set(CPACK_PACKAGE_VENDOR Tarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${QUILLOMAT_PACKAGE_MAINTAINER})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The libraries the programs link come from dpkg-shlibdeps; Qt's platform plugins are loaded,
# not linked, so they are named here, and the German texts of Qt's own dialogs are recommended.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
# First line: the synopsis; the rest: the extended description, formatted by CPack.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "take pictures off a Game Boy by standing in for its printer
Quillomat receives the pictures of a Game Boy camera through a Tarvo link
module on a PC printer port. It answers the console as its printer would,
checks and repairs damaged blocks, asks for a re-print when blocks stay bad,
and opens the result as a picture in four grey levels, which can be coloured,
softened, printed and saved as a Windows bitmap file.

The package holds the German desktop program quillomat and quillomat-cli,
which receives and works on pictures from a terminal. Without a link module
a simulated console prints a picture, so both can be tried on any machine.")
include(CPack)
