// Writes a generation project (.pjx) the way the wizard saves one, so each
// test states only the settings it is about.
import { writeFileSync } from "node:fs";

const yes = (v) => (v ? "True" : "False");

// A column of the project: its 24 settings in the file's order. Only what the
// tests vary is named; the rest takes the wizard's defaults.
export function columnText(c, position) {
    const fields = [
        c.type ?? 4, position, c.caption ?? c.name, yes(false), yes(false), yes(false), c.align ?? 0,
        c.editCaption ?? c.caption ?? c.name, yes(false), yes(false), yes(false), 0,
        yes(c.list ?? true), yes(c.edit ?? true), yes(c.required ?? false),
        yes(c.simple ?? true), yes(c.advanced ?? true), 30, c.maxLength ?? 60, c.defaultValue ?? "",
        c.editType ?? 1, c.validation ?? 0, c.details ?? "", 0,
    ];
    return fields.join(";") + ";";
}

// recipe: { table, database, connection, destination, keys: [...], columns: [...],
// and any Configuration key to override (EnableDelete, LoginPage, ...) }.
export function writeProject(file, recipe) {
    const config = {
        DatasourceStatus: 1, DatasourceType: 7, DatabaseName: recipe.database, TableName: recipe.table,
        DBLogin: "", DBPassword: "", ConnectionString: recipe.connection ?? `Driver={SQLite3}; Database=${recipe.database}`,
        SQLWhereString: "", EnableAppend: true, EditAs: true, EnableDelete: true, SimpleSearch: true,
        AdvancedSearch: true, InitialSort: true, PageSupport: true, LoginPage: false,
        SelectedTemplate: "no template", PrinterFriendlyVersion: true, ExportOption: true,
        RecordsPerPage: true, RecordsPerPageID: 1, SortColumnBy: false, SortColumnID: "",
        ShowMoreLink: false, ShowMoreLinkID: 80, DynamicStaticLogin: false, CodeLoginName: "",
        CodeLoginPassword: "", DynamicTable: "", DynamicLoginName: "", DynamicLoginPassword: "",
        DestinationPath: recipe.destination, CopyDatabase: recipe.copyDatabase ?? true,
        ...recipe.config,
    };
    let text = "[Configuration]\n";
    for (const [key, value] of Object.entries(config))
        text += `${key}=${typeof value == "boolean" ? yes(value) : value}\n`;
    text += "[UniqueKey]\n";
    recipe.keys.forEach((k, i) => (text += `${i + 1}=${k}\n`));
    text += "[Columns]\n";
    recipe.columns.forEach((c, i) => (text += `${c.name}=${columnText(c, i + 1)}\n`));
    writeFileSync(file, text);
}
