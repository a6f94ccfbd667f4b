# Builds the Windows Installer package from installer/Corvanthelix.wxs. Source after common.sh.

# The package's version of a version as shown: major.minor.patch without the leading zeros.
msi_version() {
    local a b c
    IFS=. read -r a b c <<<"$1"
    echo "$((10#$a)).$((10#$b)).$((10#$c))"
}

# wixl builds the package; msibuild then adds what the WiX source cannot say here.
build_msi() { # folder-with-the-files version-as-shown output.msi (absolute path)
    local version upgrade_code
    version=$(msi_version "$2")
    rm -f "$3"
    # wixl takes the files' paths relative to the working folder, and leaves a copy of the icon
    # there in a folder "Icon".
    (cd "$1" && wixl -a x64 -D Version="$version" -D SrcDir=. -o "$3" "$ROOT/installer/Corvanthelix.wxs" &&
        rm -rf Icon)
    upgrade_code=$(msiinfo export "$3" Property | tr -d '\r' | awk -F'\t' '$1 == "UpgradeCode" { print $2 }')
    msibuild "$3" \
        `# Users may modify the data folder, which holds only the settings; SYSTEM and` \
        `# Administrators keep full control. Nothing else in the package sets permissions.` \
        -q 'CREATE TABLE `MsiLockPermissionsEx` (`MsiLockPermissionsEx` CHAR(72) NOT NULL,
            `LockObject` CHAR(72) NOT NULL, `Table` CHAR(32) NOT NULL,
            `SDDLText` LONGCHAR NOT NULL, `Condition` CHAR(255) PRIMARY KEY `MsiLockPermissionsEx`)' \
        -q 'INSERT INTO `MsiLockPermissionsEx` (`MsiLockPermissionsEx`, `LockObject`, `Table`,
            `SDDLText`) VALUES (
            '"'DataFolderUsers', 'DATADIR', 'CreateFolder', 'D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1301bf;;;BU)')" \
        `# REMOVECONFIG=1 at removal: the settings go too, through a folder property that` \
        `# is set only then (a removal row whose folder property is empty does nothing).` \
        -q "INSERT INTO \`CustomAction\` (\`Action\`, \`Type\`, \`Source\`, \`Target\`)
            VALUES ('SetConfigToRemove', 51, 'CONFIGTOREMOVE', '[DATADIR]')" \
        -q "INSERT INTO \`InstallExecuteSequence\` (\`Action\`, \`Condition\`, \`Sequence\`)
            VALUES ('SetConfigToRemove', 'REMOVE=\"ALL\" AND REMOVECONFIG=\"1\"', 3400)" \
        -q "INSERT INTO \`RemoveFile\` (\`FileKey\`, \`Component_\`, \`FileName\`, \`DirProperty\`,
            \`InstallMode\`) VALUES ('RemoveConfig', 'DataFolder', 'Corvanthelix.cfg', 'CONFIGTOREMOVE', 2)" \
        `# AUTOSTART=0 leaves out the start-up shortcut.` \
        -q "UPDATE \`Component\` SET \`Condition\` = 'AUTOSTART<>\"0\"' WHERE \`Component\` = 'StartupShortcut'" \
        `# A package of the same or an older version is replaced whole, before the new one` \
        `# is installed; a newer installed version refuses the older package.` \
        -q "DELETE FROM \`Upgrade\` WHERE \`ActionProperty\` = 'WIX_UPGRADE_DETECTED'" \
        -q "INSERT INTO \`Upgrade\` (\`UpgradeCode\`, \`VersionMax\`, \`Attributes\`, \`ActionProperty\`)
            VALUES ('$upgrade_code', '$version', 513, 'WIX_UPGRADE_DETECTED')" \
        -q "UPDATE \`InstallExecuteSequence\` SET \`Sequence\` = 1401 WHERE \`Action\` = 'RemoveExistingProducts'" \
        -q "UPDATE \`Property\` SET \`Value\` = 'WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;AUTOSTART;REMOVECONFIG;SETUPINSTALLATION'
            WHERE \`Property\` = 'SecureCustomProperties'"
}
