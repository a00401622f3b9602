// The projects the suite generates from the sample database.
import * as sqlite from "./sqlite.js";

// Customers with a column of each kind the form offers: a read-only key, a
// required text, an e-mail check, a radio button of fixed values, a currency,
// a text area kept off the list, and a date.
export const customerColumns = [
    { name: "CustomerID", type: 1, editType: 9, caption: "Number" },
    { name: "CompanyName", type: 4, required: true, caption: "Company" },
    { name: "ContactName", type: 4, caption: "Contact" },
    { name: "Email", type: 4, validation: 4, simple: false },
    { name: "CountryCode", type: 4, editType: 5, required: true, caption: "Country",
      details: "AU, DE, FR, GB, JP, NL, NO, SE, US", simple: false },
    { name: "CreditLimit", type: 7, validation: 2, caption: "Credit limit", simple: false, align: 2 },
    { name: "Notes", type: 5, editType: 2, list: false, simple: false },
    { name: "CreatedAt", type: 8, editType: 7, required: true, details: "0", caption: "Created", simple: false },
];

export function customers(database, config = {}) {
    return { table: "Customers", database, keys: ["CustomerID"], columns: customerColumns, config };
}

// The ten sample customers and fifteen more: three pages of ten.
export function addCustomers(database) {
    let sql = "BEGIN;";
    for (let i = 1; i <= 15; i++)
        sql += `INSERT INTO Customers (CompanyName, CountryCode, CreditLimit, CreatedAt) VALUES ` +
            `('Extra Customer ${String(i).padStart(2, "0")}', 'SE', ${i * 100}, '2024-05-${String(i).padStart(2, "0")} 12:00:00');`;
    sqlite.exec(database, sql + "COMMIT;");
}
