# Completes the package that wixl wrote with what wixl 0.101 cannot author:
#   cmake -DMSIBUILD=<msibuild> -DPACKAGE=<msi> -DVERSION=<x.y.z.w> -DUPGRADE_CODE=<{guid}>
#         -DModuleFile=<file id> -DOlderInstalled=<property> -P finish_package.cmake
# - the upgrade row's inclusive maximum (wixl drops IncludeMaximum), so that a
#   rebuild of the same version replaces the installed one instead of
#   landing beside it;
# - the version and language of the versioned file, which the installer's
#   file rules compare on repair and upgrade, and no file hash for it (wixl
#   writes one for every file; the installer keeps hashes for unversioned
#   files only);
# - the expandable string of the event source's message file: the generated
#   rows mark it with the Registry table's leading #%, and wixl, taking the #
#   for a literal one, doubles it.
foreach(var MSIBUILD PACKAGE VERSION UPGRADE_CODE ModuleFile OlderInstalled)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "finish_package.cmake: ${var} is not set")
  endif()
endforeach()

# msidbUpgradeAttributesVersionMinInclusive | msidbUpgradeAttributesVersionMaxInclusive
set(older_or_same_attributes 768)
# The DLL's version resource is in US English (0x409).
set(module_language 1033)

execute_process(
  COMMAND ${MSIBUILD} ${PACKAGE}
    -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = '${OlderInstalled}'"
    -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${UPGRADE_CODE}', '0.0.0', '${VERSION}', ${older_or_same_attributes}, '${OlderInstalled}')"
    -q "UPDATE `File` SET `Version` = '${VERSION}', `Language` = '${module_language}' WHERE `File` = '${ModuleFile}'"
    -q "DELETE FROM `MsiFileHash` WHERE `File_` = '${ModuleFile}'"
    -q "UPDATE `Registry` SET `Value` = '#%[#${ModuleFile}]' WHERE `Value` = '##%[#${ModuleFile}]'"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msibuild could not complete ${PACKAGE}")
endif()
