# Checks of the Windows build that run on the Linux side: the export and import tables of both
# DLLs, read with MinGW's objdump.
find_program(TRALVONIC_MINGW_OBJDUMP x86_64-w64-mingw32-objdump REQUIRED)
set(TRALVONIC_CHECK_DLL ${CMAKE_CURRENT_SOURCE_DIR}/win64/check_dll.py)

add_test(NAME Win64.PluginExportsTheThirtyTwoEntryPointsAndImportsOnlyWindows
  COMMAND Python3::Interpreter ${TRALVONIC_CHECK_DLL} ${TRALVONIC_MINGW_OBJDUMP} $<TARGET_FILE:tralvonic>
    ts3plugin_name ts3plugin_version ts3plugin_apiVersion ts3plugin_author ts3plugin_description
    ts3plugin_setFunctionPointers ts3plugin_init ts3plugin_shutdown ts3plugin_registerPluginID
    ts3plugin_offersConfigure ts3plugin_configure ts3plugin_commandKeyword ts3plugin_processCommand
    ts3plugin_requestAutoload ts3plugin_infoTitle ts3plugin_infoData ts3plugin_initMenus
    ts3plugin_onMenuItemEvent ts3plugin_freeMemory ts3plugin_onConnectStatusChangeEvent
    ts3plugin_onClientMoveEvent ts3plugin_onClientMoveMovedEvent ts3plugin_onClientSelfVariableUpdateEvent
    ts3plugin_onTalkStatusChangeEvent ts3plugin_onPermissionOverviewEvent
    ts3plugin_onPermissionOverviewFinishedEvent ts3plugin_onServerPermissionErrorEvent
    ts3plugin_onCustom3dRolloffCalculationClientEvent ts3plugin_onEditPlaybackVoiceDataEvent
    ts3plugin_onEditPostProcessVoiceDataEvent ts3plugin_onEditMixedPlaybackVoiceDataEvent
    ts3plugin_onEditCapturedVoiceDataEvent)
add_test(NAME Win64.VoiceLibraryExportsItsNineEntryPointsAndImportsOnlyWindows
  COMMAND Python3::Interpreter ${TRALVONIC_CHECK_DLL} ${TRALVONIC_MINGW_OBJDUMP} $<TARGET_FILE:tralvonic_voice>
    Test RemovePlayer SetMuffleIntensity SetPhoneDistortion SetRadioDistortion ProcessMuffle ProcessMegaphone
    ProcessPhone ProcessRadio)
