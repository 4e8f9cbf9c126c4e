; Setup script for the sample viewer.
; Build with the command-line compiler.
#define MyAppName "Sample Viewer"
#define MyAppVersion "2.4.1"

[Setup]
AppName={#MyAppName}
AppVersion={#MyAppVersion}
DefaultDirName={autopf}\Sample Viewer
DefaultGroupName=Sample Viewer
OutputBaseFilename=viewer-setup
Compression=lzma2/max
SolidCompression=yes
MinVersion=6.1
FancyOption=true

[Languages]
Name: "en"; MessagesFile: "compiler:Default.isl"

[Files]
Source: "bin\viewer.exe"; DestDir: "{app}"; Flags: ignoreversion
Source: "docs\*"; DestDir: "{app}\docs"; Flags: recursesubdirs createallsubdirs; Bogus: 1
Source: "readme ""first"".txt"; DestDir: "{app}"

[Icons]
Name: "{group}\{#MyAppName}"; Filename: "{app}\viewer.exe"; IconIndex: 0
Name: "{group}\{cm:UninstallProgram,{#MyAppName}}"; Filename: "{uninstallexe}"

[Registry]
Root: HKCU; Subkey: "Software\Sample\Viewer"; ValueType: dword; ValueName: "Runs"; ValueData: 0

[CustomMessages]
LaunchNow=Launch the viewer now

[Code]
{ Pascal code runs during setup. }
function InitializeSetup(): Boolean;
var
  Version: Cardinal;
begin
  // Refuse very old systems.
  Version := GetWindowsVersion;
  Result := Version >= $06010000;
  if not Result then
    MsgBox('Windows 7 or later is required.', mbError, MB_OK);
end;

(* a comment that mentions
   [Setup] without leaving the code *)
procedure CurStepChanged(CurStep: TSetupStep);
begin
  if CurStep = ssPostInstall then
    Log('Installed to ' + ExpandConstant('{app}'));
end;

[Run]
Filename: "{app}\viewer.exe"; Description: "{cm:LaunchNow}"; Flags: nowait postinstall skipifsilent
