# Completes the package that wixl wrote with what wixl 0.101 cannot author:
#   cmake -DMSIBUILD=<msibuild> -DPACKAGE=<msi> -DVERSION=<x.y.z.w> -DUPGRADE_CODE=<{guid}>
#         -DTYPELIB_TABLE=<TypeLib.idt> -DModuleFile=<file id> -DOlderInstalled=<property>
#         -P finish_package.cmake
# - the type library, registered from the installed file by the system's own
#   routine (the TypeLib table and its two actions), as regsvr32 does;
# - the upgrade row's inclusive maximum (wixl drops IncludeMaximum), so that a
#   rebuild of the same version replaces the installed one instead of
#   landing beside it;
# - the version and language of the versioned file, which the installer's
#   file rules compare on repair and upgrade.
foreach(var MSIBUILD PACKAGE VERSION UPGRADE_CODE TYPELIB_TABLE ModuleFile OlderInstalled)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "finish_package.cmake: ${var} is not set")
  endif()
endforeach()

# Standard places of the two actions in the execute sequence.
set(unregister_type_libraries 2300)
set(register_type_libraries 5500)
# msidbUpgradeAttributesVersionMinInclusive | msidbUpgradeAttributesVersionMaxInclusive
set(older_or_same_attributes 768)
# The DLL's version resource is in US English (0x409).
set(module_language 1033)

execute_process(
  COMMAND ${MSIBUILD} ${PACKAGE}
    -i ${TYPELIB_TABLE}
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('UnregisterTypeLibraries', ${unregister_type_libraries})"
    -q "INSERT INTO `InstallExecuteSequence` (`Action`, `Sequence`) VALUES ('RegisterTypeLibraries', ${register_type_libraries})"
    -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = '${OlderInstalled}'"
    -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMin`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('${UPGRADE_CODE}', '0.0.0', '${VERSION}', ${older_or_same_attributes}, '${OlderInstalled}')"
    -q "UPDATE `File` SET `Version` = '${VERSION}', `Language` = '${module_language}' WHERE `File` = '${ModuleFile}'"
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "msibuild could not complete ${PACKAGE}")
endif()
