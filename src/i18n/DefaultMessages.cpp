#include "i18n/MessageCatalogue.h"

namespace qm::i18n {

namespace {
struct BuiltInMessage {
    const char* key;
    const char* text;
};

// The built-in English texts in the order they are stored; their spacing is part of the text.
constexpr BuiltInMessage kBuiltInMessages[] = {
    {"MSG_THANK1", "Thank you for using [ProgramName]!"},
    {"MSG_THANK2",
     "Because this is the first time you have used [ProgramName] we recommend running Live Update "
     "now to download the most recent adware and spyware definitions."},
    {"MSG_THANK3", "Would you like to run Live Update now?"},
    {"MSG_THANK4", "Update Now?"},
    {"MSG_MISSING",
     "Definition files are missing or they have been corrupted. Please run Live Update."},
    {"MSG_PAUSED", "[ProgramName] has been paused.  Click OK to resume."},
    {"MSG_SURE", "Are you sure?"},
    {"MSG_EXCLUDE1", "No exclusion file exists yet."},
    {"MSG_EXCLUDE2", "No Exclusion File"},
    {"MSG_INTERNET", "Definitions could not be downloaded. Please check your internet connection."},
    {"MSG_ANON1", "By sending anonymous data you can help us identify new spyware more quickly."},
    {"MSG_ANON2",
     "No personal information is collected, the only information sent is executable names that are "
     "currently loaded into memory."},
    {"MSG_ANON3", "Do you really want to turn off anonymous data collection?"},
    {"MSG_ANON4", "Really turn off anonymous data collection?"},
    {"MSG_SORRY", "Sorry, there are no entries to be excluded."},
    {"MSG_SORRY2", "Sorry, there are no entries to be deleted."},
    {"MSG_EXC_SURE1", "Are you sure you want to exclude the selected files?"},
    {"MSG_EXC_SURE2", "Excluded files will not show up as Adware/Spyware on future scans."},
    {"MSG_EXC_SURE3", "You can edit the list of excluded files through the Quarantine menu."},
    {"MSG_EXC_SURE4", "Really Exclude?"},
    {"MSG_DATE", "Please select the date that you want to scan."},
    {"MSG_STOP", "Are you sure you want to stop the scan?"},
    {"MSG_SELECTED",
     "No entries are selected.  You must check the box next to at least one item in the list."},
    {"MSG_CONFIRM1", "Are you sure you want to delete the selected files?"},
    {"MSG_CONFIRM2",
     "Deleted files will be backed up in the following folder in case you need to recover them:"},
    {"MSG_CONFIRM3",
     "In addition, a System Restore Point will be created using Windows System Restore, accessible "
     "through:"},
    {"MSG_CONFIRM4", "Start > Programs > Accessories > System Tools > System Restore"},
    {"MSG_ERROR_STOPPED",
     "could not be stopped.  You should try again after saving your work and closing any open "
     "applications."},
    {"MSG_FOUND1", "[ProgramName] has found ["},
    {"MSG_FOUND2", "] using you system memory. Click YES to stop ["},
    {"MSG_FOUND3", "] from using your system memory. Otherwise click No."},
    {"MSG_CLOSING",
     "Closing [ProgramName] may leave your system vulnerable to malicious programs. Are you sure "
     "you want to exit?"},
    {"MSG_REALLY", "Really Delete?"},
    {"MSG_REMOVING", "Removing : 0% Completed."},
    {"MSG_REMOVING2", "Removing"},
    {"MSG_COMPLETED", "Completed."},
    {"MSG_MISSINGFILES", "Files Missing, Run Live Update"},
    {"MSG_NOCOMPANY", "No Company name available for"},
    {"MSG_DOWNLOADING", "Connecting to server/downloading....."},
    {"MSG_CONNECTING", "Connecting to server....."},
    {"MSG_CHECKING", "Checking for Definitions....."},
    {"MSG_CONNECTING2", "Connecting to the Server."},
    {"MSG_SENDING", "Sending and receiving data, please wait."},
    {"MSG_SENT", "Successfully sent the request."},
    {"MSG_RECEIVING", "Receiving a response from the Server."},
    {"MSG_SCAN_CANCELLED", "Scanning was cancelled."},
    {"MSG_SCAN_COMPLETED", "Scanning complete."},
    {"MSG_RESULTS", "Results:"},
    {"MSG_RESULTS_THANK", "submitted.  Thank you!"},
    {"MSG_PROBLEM", "There was a problem submitting"},
    {"MSG_PROBLEM2", "Please make sure you are connected to the internet, or try again later."},
    {"MSG_UPDATED_DEFS", "Your [ProgramName] definitions have been updated!"},
    {"MSG_RECENT_DEFS", "You are using the most recent [ProgramName] definitions."},
    {"MSG_WEBSITE", "Visit [Website]"},
    {"MSG_CAPTION", "[ProgramName] by [CompanyName]"},
    {"MSG_CAPTION2", "Welcome to [ProgramName]"},
    {"MSG_COOKIES", "Inspecting Cookies"},
    {"MSG_COOKIES_FINISHED", "Finished Inpecting Cookies"},
    {"MSG_MEMORY", "Inspecting memory"},
    {"MSG_NOTSELECTED", "Not Selected"},
    {"MSG_REGISTRY", "Scanning registry"},
    {"MSG_SPYWARE", "Scanning known Spyware/Adware"},
    {"MSG_INFORMATION", "Gathering information..."},
    {"MSG_RESTOREPOINT", "Creating Restore Point..."},
    {"MSG_COMPLETE", "complete"},
    {"MSG_FALSE_POS",
     "This will submit the following files to our research team for investigation.  You will be "
     "prompted to supply details about the susptected false positives.  Are you sure you want to "
     "continue?"},
    {"MSG_FALSE_POS2",
     "Please enter more information about these files and the reason that you think they are a "
     "false positive.  If possible, please supply the location where we can download the "
     "non-malicious software that these files are related to, in addition to your email address if "
     "you would like to be contacted for followups."},
    {"MSG_FALSE_POS3",
     "Error: You must supply details about the false positives.  Please try again."},
    {"MSG_FALSE_POS4",
     "Your false positive report was submitted successfully.  Would you like to exclude these "
     "false positives from future scans?"},
    {"MSG_FALSE_POS5",
     "There was an error submitting your report.  Please make sure you are connected to the "
     "internet and try again in a few minutes.  If you continue to receive this error please "
     "contact support."},
    // The language window's title and the word after a download, which the table of 70 did not
    // carry: after them, so that every earlier slot keeps its place.
    {"MSG_TITLELANGUAGE", "Choose Language"},
    {"MSG_DOWNLOADED", "The latest translations were downloaded."},
    // Texts the program shows that the first table left in the code.
    {"MSG_DEFS_NOT_SAVED",
     "New definitions were downloaded but could not be saved. Your definitions are unchanged; "
     "please run Live Update again later."},
    // Restoring from the quarantine; "[Item]" is the path, name or file the outcome is about.
    {"MSG_RESTORED", "Restored [Item]."},
    {"MSG_RESTORE_EXISTS", "Not restored: [Item] exists; nothing was overwritten."},
    {"MSG_RESTORE_FOLDER_GONE", "Not restored: the folder [Item] no longer exists."},
    {"MSG_RESTORE_DAMAGED_COPY",
     "Not restored: the quarantine copy \"[Item]\" is missing or no longer has its recorded size "
     "and hash."},
    {"MSG_RESTORE_NOT_WRITTEN", "Not restored: [Item] could not be written."},
    {"MSG_RESTORE_CAME_OUT_DAMAGED", "Not restored: the copy written to [Item] came out damaged."},
    {"MSG_RESTORE_NOT_CREATED", "Not restored: [Item] could not be created."},
    {"MSG_RESTORE_NOT_WHOLE", "Not restored: [Item] could not be copied back whole."},
    {"MSG_RESTORE_NO_KEY", "Not restored: [Item] names no registry key that can be restored."},
    {"MSG_RESTORE_DAMAGED_BACKUP",
     "Not restored: the registry backup \"[Item]\" is missing or no longer has its recorded size "
     "and hash."},
    {"MSG_RESTORE_NOT_IMPORTED",
     "Not restored: the registry backup \"[Item]\" could not be imported."},
    {"MSG_RESTORE_NO_MANIFEST", "Not restored: the quarantine has no manifest ([Item])."},
    {"MSG_RESTORE_BAD_MANIFEST",
     "Not restored: the quarantine manifest [Item] is damaged; nothing was changed."},
    {"MSG_RESTORE_ALREADY", "\"[Item]\" has already been restored."},
    {"MSG_RESTORE_UNKNOWN", "Nothing named \"[Item]\" is in the quarantine."},
    {"MSG_RESTORE_MANIFEST_STALE",
     "The manifest could not be updated and still lists it as quarantined."},
    {"MSG_RESTORE_WAIT", "Please wait until the running scan or removal has finished."},
    {"MSG_QUARANTINE_TITLE", "[ProgramName] Quarantine"},
    // "Delete Failed": each item's status, and the notice after a removal without a restore
    // point ("[Item]" is the system's reason).
    {"MSG_NOT_DELETED", "not deleted"},
    {"MSG_DELETED_AT_RESTART", "deleted at restart"},
    {"MSG_NO_RESTORE_POINT",
     "No System Restore point could be made: [Item] Everything removed is backed up in the "
     "quarantine."},
    {"MSG_BROWSER_POLICIES_CHANGED",
     "[ProgramName] has detected that the browsers' policies have been changed:\r\n\r\n[Item]"
     "\r\nClick YES to put back the policies you accepted (what is removed or overwritten is "
     "backed up in the quarantine).\r\nClick NO to accept the change."},
    {"MSG_BROWSER_POLICIES_DENIED",
     "The browsers' policies were changed, but this account may not change them back:\r\n\r\n"
     "[Item]\r\nAsk an administrator to put them back. [ProgramName] will not ask again about "
     "this change."},
    // Signed definitions: an answer the maker did not sign is not used.
    {"MSG_DEFS_NOT_VERIFIED",
     "The definitions the server sent could not be verified as [ProgramName]'s own, so they "
     "were not used. Your definitions are unchanged. If this continues, your network may be "
     "tampering with updates."},
    {"MSG_TRANSLATION_NOT_VERIFIED",
     "The translations the server sent could not be verified, so they were not used."},
    {"MSG_UNSIGNED_ALLOWED",
     "Unsigned definitions are allowed on this computer (AllowUnsignedDefinitions)."},
};
}  // namespace

void LoadDefaultMessages(MessageCatalogue& catalogue) {
    for (const auto& m : kBuiltInMessages)
        catalogue.setMessage(m.key, m.text);
}

}  // namespace qm::i18n
