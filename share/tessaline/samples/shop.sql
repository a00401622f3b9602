-- The sample shop: a small order database to try the wizard on. It has a bit of
-- everything a real source has: related tables, a key of two columns, a view,
-- a login table, names with blanks, and a column of every type family.
-- The build turns this script into samples/shop.db beside the program.

BEGIN;

CREATE TABLE Customers (
    CustomerID   INTEGER PRIMARY KEY AUTOINCREMENT,
    CompanyName  VARCHAR(255) NOT NULL,
    ContactName  VARCHAR(60),
    Email        VARCHAR(120),
    Website      VARCHAR(256),
    CountryCode  CHAR(2) NOT NULL,
    CreditLimit  NUMERIC(12,2),
    Notes        TEXT,
    CreatedAt    TIMESTAMP NOT NULL
);

CREATE TABLE Products (
    ProductID     INTEGER PRIMARY KEY,
    ProductName   NVARCHAR(80) NOT NULL,
    Barcode       BIGINT,
    UnitsInStock  SMALLINT NOT NULL DEFAULT 0,
    Rating        TINYINT,
    UnitPrice     DECIMAL(10,2) NOT NULL,
    WeightKg      REAL,
    VolumeLitres  DOUBLE,
    Discontinued  BOOLEAN NOT NULL DEFAULT 0,
    Description   TEXT,
    Photo         BLOB
);

CREATE TABLE Orders (
    OrderID       INTEGER PRIMARY KEY,
    CustomerID    INTEGER NOT NULL REFERENCES Customers (CustomerID),
    OrderDate     DATE NOT NULL,
    DeliveryTime  TIME,
    ShippedAt     DATETIME,
    Freight       NUMERIC(8,2),
    ShipCity      VARCHAR(60),
    Reference
);

CREATE TABLE "Order Details" (
    OrderID       INTEGER NOT NULL REFERENCES Orders (OrderID),
    ProductID     INTEGER NOT NULL REFERENCES Products (ProductID),
    "Unit Price"  DECIMAL(10,2) NOT NULL,
    Quantity      SMALLINT NOT NULL,
    Discount      FLOAT NOT NULL DEFAULT 0,
    PRIMARY KEY (OrderID, ProductID)
);

CREATE TABLE Users (
    UserID     INTEGER PRIMARY KEY,
    LoginName  VARCHAR(50) NOT NULL UNIQUE,
    Password   VARCHAR(50) NOT NULL,
    FullName   VARCHAR(100),
    IsAdmin    BIT NOT NULL DEFAULT 0,
    LastLogin  TIMESTAMP
);

CREATE VIEW "Order Totals" AS
SELECT o.OrderID, c.CompanyName, o.OrderDate,
       ROUND(SUM(d."Unit Price" * d.Quantity * (1 - d.Discount)), 2) AS Total
FROM Orders AS o
JOIN Customers AS c ON c.CustomerID = o.CustomerID
JOIN "Order Details" AS d ON d.OrderID = o.OrderID
GROUP BY o.OrderID, c.CompanyName, o.OrderDate;

INSERT INTO Customers (CompanyName, ContactName, Email, Website, CountryCode, CreditLimit, Notes, CreatedAt) VALUES
('Harbour Lights Trading', 'Maren Holt', 'maren@harbourlights.example', 'https://harbourlights.example', 'NO', 15000.00, 'Pays within 10 days.', '2023-01-09 10:12:00'),
('Bluebell Tea Rooms', 'Oliver Grange', 'orders@bluebelltea.example', 'https://bluebelltea.example', 'GB', 2500.00, NULL, '2023-02-14 08:30:45'),
('Café Lumière', 'Élodie Marchand', 'elodie@cafelumiere.example', NULL, 'FR', 4000.00, 'Deliveries only before 9 am.', '2023-03-02 16:05:10'),
('Nordwind Outdoor GmbH', 'Jens Köhler', 'einkauf@nordwind.example', 'https://nordwind.example/shop', 'DE', 30000.00, 'Framework contract until 2026.', '2023-03-21 11:00:00'),
('Sunrise Bakery', 'Aiko Tanaka', 'aiko@sunrisebakery.example', NULL, 'JP', 1200.50, NULL, '2023-05-17 07:45:00'),
('Riverside Books', 'Thomas Reed', 'thomas@riversidebooks.example', 'https://riversidebooks.example', 'US', 8000.00, 'Prefers invoices by e-mail.', '2023-06-30 14:20:00'),
('Casa Verde', 'Lucía Romero', 'lucia@casaverde.example', NULL, 'ES', 5000.00, NULL, '2023-08-11 09:00:00'),
('Polar Star Supplies', 'Mikko Virtanen', 'mikko@polarstar.example', 'https://polarstar.example', 'FI', 12000.00, 'Ships to Oulu and Tampere.', '2023-10-04 13:33:33'),
('Tulip & Co', 'Femke de Vries', 'femke@tulipco.example', NULL, 'NL', 3000.00, NULL, '2024-01-15 10:10:10'),
('Southern Cross Imports', 'Liam O''Connor', 'liam@southerncross.example', 'https://southerncross.example', 'AU', 20000.00, 'Account on hold until the March statement is paid.', '2024-02-29 23:59:59');

INSERT INTO Products (ProductID, ProductName, Barcode, UnitsInStock, Rating, UnitPrice, WeightKg, VolumeLitres, Discontinued, Description, Photo) VALUES
(1, 'Earl Grey Tea, 250 g', 5012345678900, 140, 5, 6.90, 0.25, 0.6, 0, 'Black tea with bergamot, loose leaf.', X'89504E470D0A1A0A0000000D49484452'),
(2, 'Dark Roast Coffee Beans, 1 kg', 4006381333931, 85, 4, 18.50, 1.0, 2.1, 0, 'Whole beans, roasted in small batches.', NULL),
(3, 'Stoneware Mug', 7310865004703, 320, 4, 9.95, 0.42, 0.35, 0, NULL, X'FFD8FFE000104A464946'),
(4, 'Cast Iron Teapot', 8710103871451, 24, 5, 54.00, 1.6, 1.2, 0, 'Enamelled inside, holds 1.2 litres.', NULL),
(5, 'Rye Sourdough Loaf', 2000000000015, 0, 3, 4.20, 0.8, 2.5, 1, 'Baked to order; no longer stocked.', NULL),
(6, 'Trail Thermos, 750 ml', 4260123456789, 60, 4, 27.90, 0.39, 0.75, 0, 'Keeps drinks hot for 12 hours.', NULL),
(7, 'Linen Tea Towel', 5901234123457, 210, 3, 7.50, 0.08, 0.1, 0, NULL, NULL),
(8, 'Honey, Wildflower, 500 g', 9300675024235, 75, 5, 11.25, 0.62, 0.4, 0, 'Raw, unfiltered.', NULL),
(9, 'Oat Biscuits, box of 12', 5000168001142, 150, 4, 3.80, 0.3, 0.9, 0, NULL, NULL),
(10, 'Pour-over Coffee Set', 4901234567894, 18, 5, 39.00, 0.95, 1.8, 0, 'Dripper, filter papers and glass server.', X'474946383961'),
(11, 'Matcha Whisk', 4512345678906, 40, 4, 14.60, 0.05, 0.2, 0, 'Bamboo, 100 prongs.', NULL),
(12, 'Paper Filters, pack of 100', 4006381333948, 500, 3, 2.95, 0.12, 0.3, 0, NULL, NULL);

INSERT INTO Orders (OrderID, CustomerID, OrderDate, DeliveryTime, ShippedAt, Freight, ShipCity, Reference) VALUES
(1001, 1, '2024-03-01', '09:30:00', '2024-03-02 14:10:00', 12.50, 'Bergen', 'PO-4471'),
(1002, 2, '2024-03-03', '08:00:00', '2024-03-04 09:45:00', 6.00, 'York', NULL),
(1003, 4, '2024-03-03', '13:00:00', '2024-03-05 11:30:00', 35.80, 'Hamburg', 'NW-2024-118'),
(1004, 3, '2024-03-07', '07:30:00', '2024-03-08 16:00:00', 9.90, 'Lyon', NULL),
(1005, 6, '2024-03-12', '10:00:00', '2024-03-13 10:00:00', 14.25, 'Portland', 'RB/88'),
(1006, 8, '2024-03-15', '12:15:00', NULL, 22.00, 'Oulu', NULL),
(1007, 1, '2024-03-18', '09:30:00', '2024-03-19 08:20:00', 12.50, 'Bergen', 'PO-4502'),
(1008, 5, '2024-03-21', '06:45:00', '2024-03-22 15:40:00', 18.70, 'Osaka', NULL),
(1009, 7, '2024-03-25', '11:00:00', '2024-03-26 12:00:00', 8.40, 'Valencia', NULL),
(1010, 9, '2024-04-02', '14:30:00', NULL, 7.10, 'Utrecht', 'TC-0042'),
(1011, 4, '2024-04-05', '13:00:00', '2024-04-06 09:15:00', 41.00, 'Hamburg', 'NW-2024-131'),
(1012, 10, '2024-04-09', NULL, NULL, 55.00, 'Brisbane', NULL),
(1013, 2, '2024-04-11', '08:00:00', '2024-04-12 10:30:00', 6.00, 'York', NULL),
(1014, 6, '2024-04-16', '10:00:00', NULL, 14.25, 'Portland', 'RB/91');

INSERT INTO "Order Details" (OrderID, ProductID, "Unit Price", Quantity, Discount) VALUES
(1001, 1, 6.90, 40, 0.05),
(1001, 3, 9.95, 24, 0),
(1001, 8, 11.25, 12, 0),
(1002, 1, 6.90, 10, 0),
(1002, 9, 3.80, 30, 0.1),
(1003, 6, 27.90, 50, 0.15),
(1003, 2, 18.50, 20, 0.1),
(1003, 12, 2.95, 100, 0),
(1004, 2, 18.50, 8, 0),
(1004, 10, 39.00, 2, 0),
(1004, 12, 2.95, 20, 0),
(1005, 3, 9.95, 12, 0),
(1005, 7, 7.50, 20, 0),
(1006, 6, 27.90, 15, 0.05),
(1006, 8, 11.25, 24, 0),
(1007, 1, 6.90, 40, 0.05),
(1007, 4, 54.00, 2, 0),
(1008, 11, 14.60, 10, 0),
(1008, 1, 6.90, 20, 0),
(1009, 2, 18.50, 6, 0),
(1009, 9, 3.80, 48, 0.1),
(1010, 7, 7.50, 30, 0),
(1010, 3, 9.95, 18, 0),
(1011, 6, 27.90, 60, 0.15),
(1011, 2, 18.50, 25, 0.1),
(1012, 4, 54.00, 6, 0),
(1012, 10, 39.00, 4, 0.05),
(1013, 9, 3.80, 24, 0),
(1014, 12, 2.95, 40, 0),
(1014, 2, 18.50, 4, 0);

INSERT INTO Users (UserID, LoginName, Password, FullName, IsAdmin, LastLogin) VALUES
(1, 'admin', 'admin', 'Shop Administrator', 1, '2024-04-16 08:02:11'),
(2, 'guest', 'guest', 'Guest Account', 0, NULL),
(3, 'mholt', 'harbour24', 'Maren Holt', 0, '2024-03-18 09:31:40'),
(4, 'treed', 'riverside', 'Thomas Reed', 0, '2024-04-15 17:12:05');

COMMIT;
